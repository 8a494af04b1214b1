#pragma once

#include <QApplication>
#include <QIcon>
#include <string>

namespace kelvane {

// The application's name, the caption of every message box.
inline constexpr char kApplicationName[] = "Kelvane";

// The program icon, shown by the windows and the about box.
QIcon ProgramIcon();

// The one application object: learns where the working folders go, shows the main
// window modally and ends the program when it closes.
class CDesktopApp : public QApplication {
 public:
  CDesktopApp(int& argc, char** argv);

  // Shows the main window until it closes; the result is the process's exit status.
  int Run();

  // The folder the working folders go under, ending with '/': the program folder when
  // it can hold them, otherwise the per-user cache folder.
  const std::string& GetBaseFolder() const { return m_strBaseFolder; }

 private:
  std::string m_strBaseFolder;
};

}  // namespace kelvane
