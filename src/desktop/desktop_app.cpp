#include "desktop/desktop_app.h"

#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "desktop/database_viewer.h"
#include "desktop/desktop_dlg.h"
#include "desktop/desktop_prompts.h"
#include "desktop/start_arguments.h"

// The icon lives in a static library, whose resources must be registered by hand,
// once, from global scope.
static bool RegisterProgramResources() {
  Q_INIT_RESOURCE(kelvane);
  return true;
}

namespace kelvane {

QIcon ProgramIcon() {
  [[maybe_unused]] static const bool registered = RegisterProgramResources();
  QIcon icon;
  const QDir icons(QStringLiteral(":/icons"));
  for (const QString& size : icons.entryList()) icon.addFile(icons.filePath(size));
  return icon;
}

CDesktopApp::CDesktopApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(kApplicationName));
  setWindowIcon(ProgramIcon());
  LoadQtTranslations();
}

// The file dialogs' and message boxes' own buttons and labels in the user's language;
// where Qt has no translation for it, they stay English.
void CDesktopApp::LoadQtTranslations() {
  auto* translator = new QTranslator(this);
  if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(translator);
  }
}

int CDesktopApp::Run() {
  const StartFiles files = SortStartFiles(arguments().mid(1));
  if (!files.unknownOption.isEmpty()) {
    std::fprintf(stderr, "kelvane-desktop: unknown option %s\nTry 'kelvane-desktop --help'.\n",
                 qPrintable(files.unknownOption));
    return 2;
  }
  // Databases named alone open in viewers of their own; with archives, over the window.
  if (!files.databases.isEmpty() && files.archives.isEmpty()) {
    bool opened = false;
    for (const QString& database : files.databases) opened |= OpenDatabaseViewer(database, nullptr);
    return opened ? exec() : 1;
  }
  // Shown first, so that a box about an archive named goes over the window.
  CDesktopDlg dlg(SystemPrompts());
  dlg.show();
  for (const QString& database : files.databases) OpenDatabaseViewer(database, &dlg);
  dlg.AddArchives(files.archives);
  dlg.exec();
  return 0;
}

}  // namespace kelvane
