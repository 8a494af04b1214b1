#pragma once

#include <QString>

namespace kelvane {

// Where a database named at start-up (`kelvane-desktop FILE.pdb`) goes: the database
// viewer's entry. Until the viewer is there it opens nothing.
void OpenDatabaseViewerHook(const QString& path);

}  // namespace kelvane
