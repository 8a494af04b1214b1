#include "desktop/desktop_dlg.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "desktop/about_dlg.h"
#include "desktop/dialog_units.h"
#include "desktop/modal_answer.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ModalAnswer;
using test::ReadFileBytes;
using test::ScopedTempDir;

class DesktopDlgTest : public QObject {
  Q_OBJECT

 private:
  template <typename Control = QPushButton>
  Control* Find(const char* name) const {
    auto* control = dlg_->findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) qFatal("no control %s", name);
    return control;
  }
  QTreeWidget* List() const { return Find<QTreeWidget>("list1000"); }
  void Add(const QStringList& chosen) {
    prompts_.archives = chosen;
    Find("select1001")->click();
  }
  QString Path(const char* name) const { return QString::fromStdString(*dir_ / name); }

  // The archives under samples/ of the source tree, if there are any yet.
  static QStringList SampleArchives() {
    const QDir samples(qEnvironmentVariable("KELVANE_SOURCE_DIR") + QStringLiteral("/samples"));
    QStringList paths;
    for (const QString& name : samples.entryList({QStringLiteral("*.lzh")}, QDir::Files, QDir::Name)) {
      paths << samples.filePath(name);
    }
    return paths;
  }

  std::unique_ptr<ScopedTempDir> dir_;
  ScriptedPrompts prompts_;
  std::unique_ptr<CDesktopDlg> dlg_;

 private slots:
  void init() {
    dir_ = std::make_unique<ScopedTempDir>();
    prompts_ = ScriptedPrompts();
    dlg_ = std::make_unique<CDesktopDlg>(dir_->path(), prompts_.Prompts());
  }

  void cleanup() {
    dlg_.reset();
    dir_.reset();
  }

  void StartsWithAnEmptyListCreateAndClearDisabledAndTheAlarmTicked() {
    QCOMPARE(List()->topLevelItemCount(), 0);
    QVERIFY(!Find("create1002")->isEnabled());
    QVERIFY(!Find("clear1003")->isEnabled());
    QVERIFY(Find("select1001")->isEnabled());
    QVERIFY(Find<QCheckBox>("alarm1012")->isChecked());
    QCOMPARE(List()->headerItem()->text(0), QStringLiteral("JRA-VAN Files"));
    QCOMPARE(List()->columnCount(), 1);
    QCOMPARE(List()->columnWidth(0), 400);
    QVERIFY(!List()->header()->sectionsClickable());
    QVERIFY(Find<QLabel>("status")->text().isEmpty());
  }

  void ControlsCarryTheirCaptionsAndPlacesInDialogUnits_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("units");
    QTest::newRow("select") << "select1001" << "JRA-VAN\nファイル選択" << QRect(259, 7, 54, 35);
    QTest::newRow("create") << "create1002" << "PDBファイル\n作成" << QRect(259, 52, 54, 35);
    QTest::newRow("clear") << "clear1003" << "クリア" << QRect(259, 105, 54, 14);
    QTest::newRow("about") << "about1004" << "バージョン情報" << QRect(259, 129, 54, 14);
    QTest::newRow("exit") << "exit2" << "終了" << QRect(263, 179, 50, 14);
    QTest::newRow("ok") << "ok1" << "OK" << QRect(212, 150, 50, 14);
    QTest::newRow("alarm") << "alarm1012" << "発走アラームを有効" << QRect(15, 170, 75, 10);
    QTest::newRow("settings") << "settings" << "設定" << QRect(7, 153, 128, 40);
    QTest::newRow("list") << "list1000" << "" << QRect(7, 7, 234, 135);
  }

  void ControlsCarryTheirCaptionsAndPlacesInDialogUnits() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, units);
    const DialogUnits scale(dlg_->font());
    QCOMPARE(dlg_->windowTitle(), QStringLiteral("Kelvane Desktop"));
    QCOMPARE(dlg_->size(), scale.Size(320, 200));

    auto* control = dlg_->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), scale.Rect(units.x(), units.y(), units.width(), units.height()));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) QCOMPARE(button->text(), caption);
    if (auto* group = qobject_cast<QGroupBox*>(control)) QCOMPARE(group->title(), caption);
  }

  void TabGoesThroughTheControlsInTheirOrder() {
    QStringList order;
    for (QWidget* w = dlg_->nextInFocusChain(); w != dlg_.get(); w = w->nextInFocusChain()) {
      if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty()) order << w->objectName();
    }
    QCOMPARE(order, (QStringList{"list1000", "select1001", "create1002", "clear1003", "about1004",
                                 "exit2", "ok1", "alarm1012"}));
    QVERIFY(Find("ok1")->isDefault());
    QVERIFY(Find("ok1")->isHidden());
  }

  void AddingSkipsListedPathsAndKeepsTheChosenOrder() {
    Add({"/races/0921.lzh", "/races/0922.lzh"});
    QVERIFY(Find("create1002")->isEnabled());
    QVERIFY(Find("clear1003")->isEnabled());

    Add({"/races/0922.lzh", "/races/0928.lzh", "/RACES/0921.lzh", "/races/0928.lzh",
         "/races/0921.LZH"});
    QCOMPARE(dlg_->ListedArchives(),
             (QStringList{"/races/0921.lzh", "/races/0922.lzh", "/races/0928.lzh",
                          "/RACES/0921.lzh", "/races/0921.LZH"}));
  }

  void CancelledOpenDialogAddsNothing() {
    Add({});
    QCOMPARE(List()->topLevelItemCount(), 0);
    QVERIFY(!Find("create1002")->isEnabled());
  }

  void ClearEmptiesTheListAndDisablesCreateAndClear() {
    Add({"/races/0921.lzh", "/races/0922.lzh"});
    Find("clear1003")->click();
    QCOMPARE(List()->topLevelItemCount(), 0);
    QVERIFY(!Find("create1002")->isEnabled());
    QVERIFY(!Find("clear1003")->isEnabled());

    Add({"/races/0922.lzh"});
    QCOMPARE(dlg_->ListedArchives(), QStringList{"/races/0922.lzh"});
    QVERIFY(Find("create1002")->isEnabled());
  }

  void EnterAndF1LeaveTheWindowAsItIs() {
    Add({"/races/0921.lzh"});
    dlg_->show();
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(List(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(List(), Qt::Key_F1);
    Find("ok1")->click();
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->ListedArchives(), QStringList{"/races/0921.lzh"});
    QVERIFY(prompts_.opened.isEmpty());
  }

  void EscapeClosesTheWindow() {
    dlg_->show();
    QTest::keyClick(List(), Qt::Key_Escape);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->result(), int(QDialog::Rejected));
  }

  void ExitButtonClosesTheWindow() {
    dlg_->show();
    Find("exit2")->click();
    QVERIFY(!dlg_->isVisible());
  }

  void AboutButtonOpensTheAboutBoxModally() {
    QString title;
    ModalAnswer answer([&](QWidget* modal) {
      if (qobject_cast<CAboutDlg*>(modal) == nullptr) return;
      title = modal->windowTitle();
      modal->close();
    });
    Find("about1004")->click();
    QCOMPARE(title, QStringLiteral("Kelvane DeskTop のﾊﾞｰｼﾞｮﾝ情報"));
  }

  void CancelledSaveDialogConvertsNothing() {
    Add({Path("0921.lzh")});
    Find("create1002")->click();
    QVERIFY(prompts_.warnings.isEmpty());
    QVERIFY(prompts_.opened.isEmpty());
    QVERIFY(Find<QLabel>("status")->text().isEmpty());
  }

  void RunWritesTheDatabaseOpensItAndShowsTheStatusLine() {
    Add({Path("missing.lzh")});
    prompts_.outputPath = Path("races.pdb");
    Find("create1002")->click();

    QCOMPARE(ReadFileBytes(*dir_ / "races.pdb").size(), std::size_t{80});
    QCOMPARE(prompts_.opened, QList<QUrl>{QUrl::fromLocalFile(prompts_.outputPath)});
    QCOMPARE(prompts_.warnings.size(), 1);  // the missing archive's message
    QVERIFY(prompts_.stops.isEmpty());
    auto* status = Find<QLabel>("status");
    QCOMPARE(status->toolTip(), "0 レースを書き込みました:\n" + prompts_.outputPath);
    QVERIFY(status->text().startsWith("0 レースを書き込みました:\n"));
    QCOMPARE(dlg_->ListedArchives(), QStringList{Path("missing.lzh")});
  }

  void FailedWriteShowsTheStopBoxAndSaysNothingWasWritten() {
    Add({Path("missing.lzh")});
    prompts_.outputPath = Path("no/such/races.pdb");
    Find("create1002")->click();

    QCOMPARE(prompts_.stops,
             QStringList{prompts_.outputPath + " には無効なﾊﾟｽが含まれています。"});
    QVERIFY(prompts_.opened.isEmpty());
    QCOMPARE(Find<QLabel>("status")->text(), QStringLiteral("データベースは書き込まれませんでした。"));
  }

  void RunPassesTheAlarmBoxAsTheAlarmFlag_data() {
    QTest::addColumn<bool>("ticked");
    QTest::newRow("ticked") << true;
    QTest::newRow("cleared") << false;
  }

  void RunPassesTheAlarmBoxAsTheAlarmFlag() {
    QFETCH(bool, ticked);
    const QStringList samples = SampleArchives();
    if (samples.isEmpty()) QSKIP("no sample archives under samples/");
    Add({samples.first()});
    Find<QCheckBox>("alarm1012")->setChecked(ticked);
    prompts_.outputPath = Path("races.pdb");
    Find("create1002")->click();

    const std::string db = ReadFileBytes(*dir_ / "races.pdb");
    const auto byte = [&db](std::size_t at) { return static_cast<unsigned char>(db.at(at)); };
    const int records = byte(76) << 8 | byte(77);
    QVERIFY(records > 0);
    const std::size_t first = std::size_t{byte(78)} << 24 | byte(79) << 16 | byte(80) << 8 | byte(81);
    QCOMPARE(int(byte(first + 48)), ticked ? 1 : 0);
    QVERIFY(Find<QLabel>("status")->toolTip().startsWith(QString::number(records) + " レース"));
  }

  void MessagesShowTheirLinesSplitByLineFeeds() {
    QCOMPARE(MessageBoxText("一行目\r\n二行目"), QStringLiteral("一行目\n二行目"));
  }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::DesktopDlgTest)
#include "desktop_dlg_test.moc"
