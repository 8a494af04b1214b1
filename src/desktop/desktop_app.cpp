#include "desktop/desktop_app.h"

#include <QFile>

#include "app/conversion_run.h"
#include "desktop/desktop_dlg.h"
#include "desktop/desktop_prompts.h"

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
  icon.addFile(QStringLiteral(":/kelvane-32.png"));
  icon.addFile(QStringLiteral(":/kelvane-256.png"));
  return icon;
}

CDesktopApp::CDesktopApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(kApplicationName));
  setWindowIcon(ProgramIcon());
  // Empty: the working area's default base, the user's cache folder.
  m_strBaseFolder.clear();
}

int CDesktopApp::Run() {
  CDesktopDlg dlg(m_strBaseFolder, SystemPrompts());
  dlg.exec();
  return 0;
}

}  // namespace kelvane
