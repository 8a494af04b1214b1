#pragma once

// What `kelvane-desktop [FILE...]` was started with.

#include <QStringList>
#include <optional>
#include <string>

namespace kelvane {

// The text `--help` or `--version` asks for, to be printed without opening a window;
// nothing when neither comes before a "--". Looked at before the application object
// exists, so that no display is needed for them.
std::optional<std::string> InformationRequested(int argc, char** argv);

struct StartFiles {
  QStringList archives;   // full paths, in argument order
  QStringList databases;  // FILE.pdb arguments, full paths
  QString unknownOption;  // the first option that is not ours, or empty
};

// Sorts the arguments that remain once Qt has taken its own (the program name left
// out): options, archives to list and databases to show. After "--" every argument
// is a file.
StartFiles SortStartFiles(const QStringList& arguments);

}  // namespace kelvane
