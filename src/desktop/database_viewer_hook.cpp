#include "desktop/database_viewer_hook.h"

namespace kelvane {

void OpenDatabaseViewerHook(const QString& /*path*/) {}

}  // namespace kelvane
