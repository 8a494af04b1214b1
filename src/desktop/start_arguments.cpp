#include "desktop/start_arguments.h"

#include <QFileInfo>
#include <cstring>

#include "kelvane_version.h"

namespace kelvane {
namespace {

constexpr char kHelp[] =
    "usage: kelvane-desktop [FILE.lzh | FILE.pdb]...\n"
    "       kelvane-desktop --help | --version\n"
    "\n"
    "Opens the Kelvane Desktop window with the given JRA-VAN race-card archives\n"
    "listed, as if they had been chosen with \"JRA-VAN ファイル選択\". Choose\n"
    "\"PDBファイル 作成\" to convert them into one Palm OS database.\n"
    "A race database (FILE.pdb) opens in the database viewer: its races, the\n"
    "runners of the race selected and the past runs of the runner selected. Named\n"
    "without archives, databases open in viewers alone, without the window.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

}  // namespace

std::optional<std::string> InformationRequested(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return kHelp;
    if (std::strcmp(argv[i], "--version") == 0) {
      return std::string("kelvane-desktop " KELVANE_VERSION "\n");
    }
  }
  return std::nullopt;
}

StartFiles SortStartFiles(const QStringList& arguments) {
  StartFiles files;
  bool optionsEnded = false;
  for (const QString& argument : arguments) {
    if (!optionsEnded && argument == QStringLiteral("--")) {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
      if (files.unknownOption.isEmpty()) files.unknownOption = argument;
      continue;
    }
    const QString path = QFileInfo(argument).absoluteFilePath();
    const bool database = argument.endsWith(QStringLiteral(".pdb"), Qt::CaseInsensitive);
    (database ? files.databases : files.archives).append(path);
  }
  return files;
}

}  // namespace kelvane
