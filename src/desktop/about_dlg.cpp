#include "desktop/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "desktop/desktop_app.h"
#include "desktop/dialog_units.h"
#include "kelvane_version.h"

namespace kelvane {

// The box names the version by its first two parts, "3.0".
QString AboutVersionText() {
  return QStringLiteral("Kelvane DeskTop for [Kelvane for Palm OS] Version ") +
         QString::fromLatin1(KELVANE_VERSION).section(QLatin1Char('.'), 0, 1);
}

CAboutDlg::CAboutDlg(UrlOpener& shell, QWidget* parent)
    : QDialog(parent, Qt::Dialog | kCaptionFrame), m_shell(shell) {
  setFont(DialogFont());
  setWindowTitle(QStringLiteral("Kelvane DeskTop のﾊﾞｰｼﾞｮﾝ情報"));
  const DialogUnits units(font());
  setFixedSize(units.Size(235, 69));

  auto* icon = units.Place(new QLabel(this), "icon", 11, 17, 20, 20);
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* text = units.Place(
      new QLabel(AboutVersionText(), this), "versionText", 40, 10, 119, 18);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text->setWordWrap(true);

  auto* ok = units.Place(new QPushButton(QStringLiteral("OK"), this), "ok1", 178, 6, 50, 14);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* site = units.Place(new QPushButton(QStringLiteral("Torvik のサイトへ"), this),
                           "visitSite1009", 168, 29, 60, 14);
  connect(site, &QPushButton::clicked, this, &CAboutDlg::OnVisitSite);

  auto* mail = units.Place(new QPushButton(QStringLiteral("Torvik へメール"), this),
                           "sendMail1010", 168, 48, 60, 14);
  connect(mail, &QPushButton::clicked, this, &CAboutDlg::OnSendMail);
}

void CAboutDlg::OnVisitSite() { m_shell.Open(QUrl(QString::fromUtf8(kMakerSite))); }

void CAboutDlg::OnSendMail() {
  m_shell.Open(QUrl(QStringLiteral("mailto:") + QString::fromUtf8(kMakerMail)));
}

}  // namespace kelvane
