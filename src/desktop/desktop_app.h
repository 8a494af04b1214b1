#pragma once

#include <QApplication>
#include <QIcon>

namespace kelvane {

// The application's name, the caption of every message box.
inline constexpr char kApplicationName[] = "Kelvane";

// The program icon, shown by the windows and the about box.
QIcon ProgramIcon();

// The one application object: speaks the user's language in Qt's own dialogs, shows
// the main window modally with the archives named at start-up listed, and ends the
// program when it closes.
class CDesktopApp : public QApplication {
 public:
  CDesktopApp(int& argc, char** argv);

  // Shows the main window until it closes; the result is the process's exit status.
  int Run();

 private:
  void LoadQtTranslations();
};

}  // namespace kelvane
