#pragma once

#include <QDialog>

#include "desktop/desktop_prompts.h"

namespace kelvane {

// The maker's web page and mail address, handed to the desktop by the about box.
inline constexpr char kMakerSite[] = "https://kelvane.example/";
inline constexpr char kMakerMail[] = "support@kelvane.example";

// What the about box says of the program: its name and version.
QString AboutVersionText();

// The about box: program icon, name and version, and buttons that open the maker's
// web page and a mail to the maker. "OK", Esc and the close box close it.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(UrlOpener& shell, QWidget* parent = nullptr);

 private:
  void OnVisitSite();
  void OnSendMail();

  UrlOpener& m_shell;
};

}  // namespace kelvane
