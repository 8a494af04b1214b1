#include "desktop/about_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "desktop/dialog_units.h"
#include "desktop/scripted_prompts.h"

namespace kelvane {
namespace {

class AboutDlgTest : public QObject {
  Q_OBJECT

 private:
  QPushButton* Button(const char* name) const {
    return about_->findChild<QPushButton*>(QString::fromLatin1(name));
  }

  ScriptedPrompts prompts_;
  std::unique_ptr<CAboutDlg> about_;

 private slots:
  void init() {
    prompts_ = ScriptedPrompts();
    about_ = std::make_unique<CAboutDlg>(prompts_);
  }

  void cleanup() { about_.reset(); }

  void ShowsTheProgramIconNameVersionAndButtons() {
    const DialogUnits units(about_->font());
    QCOMPARE(about_->windowTitle(), QStringLiteral("Kelvane DeskTop のﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(about_->size(), units.Size(235, 69));

    auto* text = about_->findChild<QLabel*>("versionText");
    QCOMPARE(text->text(), QStringLiteral("Kelvane DeskTop for [Kelvane for Palm OS] Version 3.0"));
    auto* icon = about_->findChild<QLabel*>("icon");
    QVERIFY(!icon->pixmap().isNull());

    QCOMPARE(Button("ok1")->text(), QStringLiteral("OK"));
    QVERIFY(Button("ok1")->isDefault());
    QCOMPARE(Button("visitSite1009")->text(), QStringLiteral("Torvik のサイトへ"));
    QCOMPARE(Button("sendMail1010")->text(), QStringLiteral("Torvik へメール"));
    QCOMPARE(Button("visitSite1009")->geometry(), units.Rect(168, 29, 60, 14));
  }

  void SiteAndMailButtonsHandTheMakerToTheDesktop() {
    Button("visitSite1009")->click();
    Button("sendMail1010")->click();
    QCOMPARE(prompts_.opened, (QList<QUrl>{QUrl("https://kelvane.example/"),
                                           QUrl("mailto:support@kelvane.example")}));
  }

  void OkAndEscapeCloseTheBox() {
    about_->show();
    Button("ok1")->click();
    QVERIFY(!about_->isVisible());

    about_->show();
    QTest::keyClick(about_.get(), Qt::Key_Escape);
    QVERIFY(!about_->isVisible());
    QVERIFY(prompts_.opened.isEmpty());
  }

  void DialogUnitsScaleBothCornersAndRoundToTheNearestPixel() {
    const DialogUnits units(6, 13);  // 6 pixels per 4 units across, 13 per 8 down
    QCOMPARE(units.Size(320, 200), QSize(480, 325));
    // 259 * 6 / 4 = 388.5 rounds up; the right edge 313 * 6 / 4 = 469.5 to 470.
    QCOMPARE(units.Rect(259, 7, 54, 35), QRect(389, 11, 81, 57));
    // Neighbours that touch in units touch on screen.
    QCOMPARE(units.Rect(0, 0, 3, 3).right() + 1, units.Rect(3, 0, 3, 3).left());
  }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::AboutDlgTest)
#include "about_dlg_test.moc"
