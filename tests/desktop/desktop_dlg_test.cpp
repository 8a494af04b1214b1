#include "desktop/desktop_dlg.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "desktop/about_dlg.h"
#include "desktop/dialog_units.h"
#include "desktop/modal_answer.h"
#include "desktop/run_progress_dlg.h"
#include "desktop/scripted_prompts.h"
#include "support/lha_writer.h"
#include "support/sample_archives.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ModalAnswer;
using test::ReadFileBytes;
using test::ScopedTempDir;
using test::WriteFileBytes;

// The progress dialog comes up half a second into a run.
constexpr int kLongerThanTheProgressDelayMs = 700;

// What the system says of an OS error, as the command line prints it.
QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

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
  QString Path(const QString& name) const { return QString::fromStdString(dir_->path()) + name; }
  void Drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    // A drop reaches the widget that took the drag as it entered.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(List()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(List()->viewport(), &drop);
  }
  void Convert(const char* output) {
    prompts_.outputPath = Path(output);
    Find("create1002")->click();
  }
  // The files the runs left in the working area (the cache folder of init()).
  QStringList WorkingFiles() const {
    QStringList files;
    QDirIterator it(Path("cache"), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
  }

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
    qputenv("XDG_CACHE_HOME", QFile::encodeName(Path("cache")));
    prompts_ = ScriptedPrompts();
    dlg_ = std::make_unique<CDesktopDlg>(prompts_.Prompts());
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
                                 "alarm1012", "messages", "view", "exit2", "ok1"}));
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

  void AddingTakesAFileOnceWhateverItsSpelling() {
    WriteFileBytes(*dir_ / "day.lzh", "archive bytes");
    std::filesystem::create_hard_link(*dir_ / "day.lzh", *dir_ / "hard.lzh");
    std::filesystem::create_symlink(*dir_ / "day.lzh", *dir_ / "soft.lzh");
    Add({Path("day.lzh"), Path("hard.lzh"), Path("soft.lzh"), Path("./day.lzh")});
    QCOMPARE(dlg_->ListedArchives(), QStringList{Path("day.lzh")});
  }

  void ArchivesThatCannotBeReadAreMarkedAndToldWithTheSystemsReason() {
    std::filesystem::create_directory(*dir_ / "folder.lzh");
    WriteFileBytes(*dir_ / "day.lzh", "archive bytes");
    Add({Path("missing.lzh"), Path("day.lzh"), Path("folder.lzh")});
    QCOMPARE(prompts_.warnings,
             QStringList{"ファイル 'missing.lzh' を読み込めません（" + SystemReason(ENOENT) + "）\n" +
                         "ファイル 'folder.lzh' を読み込めません（" + SystemReason(EISDIR) + "）"});
    QVERIFY(!List()->topLevelItem(0)->icon(0).isNull());
    QCOMPARE(List()->topLevelItem(0)->toolTip(0), Path("missing.lzh") + "\n" + SystemReason(ENOENT));
    QVERIFY(List()->topLevelItem(1)->icon(0).isNull());
    QCOMPARE(dlg_->ListedArchives().size(), 3);

    Drop({Path("gone.lzh")});
    QCOMPARE(prompts_.warnings.size(), 2);
    QVERIFY(prompts_.warnings.last().startsWith("ファイル 'gone.lzh' を読み込めません"));

    // A long list names ten of them and counts the rest.
    const QStringList many = UnreadableArchivesBoxText(QList<UnreadableArchive>(12, {"/x.lzh", "No such file or directory"})).split('\n');
    QCOMPARE(many.size(), 11);
    QCOMPARE(many.last(), QStringLiteral("ほか 2 件"));
    // A name is shown escaped: the box keeps its lines.
    QCOMPARE(UnreadableFileText("/in/a\nb\x1b.lzh", "r"), QStringLiteral("ファイル 'a\\nb\\x1b.lzh' を読み込めません（r）"));
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
    WriteFileBytes(*dir_ / "0921.lzh", "archive bytes");
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
    // The missing archive is told about with its reason as it is listed and as the run starts.
    const QString missing = "ファイル 'missing.lzh' を読み込めません（" + SystemReason(ENOENT) + "）";
    QCOMPARE(prompts_.warnings, (QStringList{missing, missing}));
    QVERIFY(prompts_.stops.isEmpty());
    auto* status = Find<QLabel>("status");
    QCOMPARE(status->toolTip(), "0 レースを書き込みました（失敗: 書庫 1）:\n" + prompts_.outputPath);
    QVERIFY(status->text().startsWith("0 レースを書き込みました（失敗: 書庫 1）:\n"));
    QVERIFY(WorkingFiles().isEmpty());
    QCOMPARE(dlg_->ListedArchives(), QStringList{Path("missing.lzh")});
    // The database just written is offered in the viewer, whose title names it.
    Find("view")->click();
    const auto viewers = dlg_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(std::any_of(viewers.begin(), viewers.end(), [](const QWidget* w) {
      return w->isWindow() && w->windowTitle().contains(QStringLiteral("races.pdb"));
    }));
  }

  void FailedWriteShowsTheStopBoxAndSaysNothingWasWritten() {
    Add({Path("missing.lzh")});
    prompts_.outputPath = Path("no/such/races.pdb");
    Find("create1002")->click();

    QCOMPARE(prompts_.stops,
             QStringList{prompts_.outputPath + " には無効なﾊﾟｽが含まれています。"});
    QVERIFY(prompts_.opened.isEmpty());
    QCOMPARE(Find<QLabel>("status")->text(), QStringLiteral("データベースは書き込まれませんでした。"));
    QVERIFY(Find("view")->isHidden());
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

  void DropAddsTheFilesNotListedYetInTheirOrder() {
    Add({"/races/0922.lzh"});
    Drop({"/races/0921.lzh", "/races/0922.lzh", "/races/0928.lzh"});
    QCOMPARE(dlg_->ListedArchives(),
             (QStringList{"/races/0922.lzh", "/races/0921.lzh", "/races/0928.lzh"}));
    QCOMPARE(List()->topLevelItem(2)->toolTip(0).section('\n', 0, 0), QStringLiteral("/races/0928.lzh"));
    QCOMPARE(List()->textElideMode(), Qt::ElideMiddle);
  }

  void DeleteAndBackspaceRemoveTheSelectedEntriesAndSelectTheNext_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Delete") << int(Qt::Key_Delete);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
  }

  void DeleteAndBackspaceRemoveTheSelectedEntriesAndSelectTheNext() {
    QFETCH(int, key);
    Add({"/races/0921.lzh", "/races/0922.lzh", "/races/0928.lzh"});
    List()->setCurrentItem(List()->topLevelItem(1));
    QTest::keyClick(List(), Qt::Key(key));
    QCOMPARE(dlg_->ListedArchives(), (QStringList{"/races/0921.lzh", "/races/0928.lzh"}));
    QVERIFY(Find("clear1003")->isEnabled());
    // The entry after the one removed is selected, so the key goes on down the list.
    QTest::keyClick(List(), Qt::Key(key));
    QCOMPARE(dlg_->ListedArchives(), QStringList{"/races/0921.lzh"});
    QTest::keyClick(List(), Qt::Key(key));
    QCOMPARE(List()->topLevelItemCount(), 0);
    QVERIFY(!Find("create1002")->isEnabled());
    QVERIFY(!Find("clear1003")->isEnabled());
  }

  void ResizeGrowsTheListAndKeepsTheButtonsAtTheRight() {
    const QSize first = dlg_->size();
    QCOMPARE(dlg_->minimumSize(), first);
    const QRect list = List()->geometry();
    const QRect create = Find("create1002")->geometry();
    const QRect exit = Find("exit2")->geometry();
    dlg_->show();
    dlg_->resize(first + QSize(300, 200));
    QCOMPARE(List()->geometry(), list.adjusted(0, 0, 300, 200));
    QCOMPARE(Find("create1002")->geometry(), create.translated(300, 0));
    QCOMPARE(Find("exit2")->geometry(), exit.translated(300, 200));
  }

  void InputDuringARunDoesNotReachTheWindow() {
    WriteFileBytes(*dir_ / "a.lzh", "not an archive");
    WriteFileBytes(*dir_ / "b.lzh", "not an archive either");
    Add({Path("a.lzh"), Path("b.lzh")});
    dlg_->show();
    prompts_.whileWarning = [this] {
      QTest::mouseClick(Find("clear1003"), Qt::LeftButton);
      List()->setCurrentItem(List()->topLevelItem(0));
      QTest::keyClick(List(), Qt::Key_Delete);
      QTest::keyClick(List(), Qt::Key_Escape);
    };
    Convert("races.pdb");
    QCOMPARE(dlg_->ListedArchives(), (QStringList{Path("a.lzh"), Path("b.lzh")}));
    QVERIFY(dlg_->isVisible());
    QCOMPARE(prompts_.warnings.size(), 2);
  }

  void BoxesStayAnswerableBeforeAndAfterTheProgressDialogComesUp() {
    WriteFileBytes(*dir_ / "junk1.lzh", "not an archive");
    WriteFileBytes(*dir_ / "day.lzh", test::SampleArchives().at(0).bytes);
    WriteFileBytes(*dir_ / "junk2.lzh", "not an archive either");
    Add({Path("junk1.lzh"), Path("day.lzh"), Path("junk2.lzh")});
    QList<bool> progressShown;
    QList<bool> overProgress;
    prompts_.whileWarning = [&] {
      QTest::qWait(kLongerThanTheProgressDelayMs);
      auto* progress = Find<QDialog>("progress");
      progressShown << progress->isVisible();
      overProgress << (prompts_.warningOwners.last() == progress);
    };
    Convert("races.pdb");

    QCOMPARE(prompts_.warnings.size(), 2);
    // The dialog waited while the first box was up, and the second box went over it.
    QCOMPARE(progressShown, (QList<bool>{false, true}));
    QCOMPARE(overProgress, (QList<bool>{false, true}));
    QCOMPARE(prompts_.warningOwners.first(), dlg_.get());
    QVERIFY(Find<QLabel>("status")->toolTip().startsWith("12 レースを書き込みました（失敗: 書庫 2）"));
  }

  void ProgressCountsTheArchivesAndItsCancelAsksToStopOnce() {
    CRunProgressDlg progress(dlg_.get());
    int stops = 0;
    connect(&progress, &CRunProgressDlg::Stop, [&] { ++stops; });
    progress.ShowArchive(12, 50, QStringLiteral("0921.lzh"));
    auto* bar = progress.findChild<QProgressBar*>("progressBar");
    QCOMPARE(bar->text(), QStringLiteral("13 / 50"));
    QCOMPARE(progress.findChild<QLabel*>("progressText")->text(), QStringLiteral("0921.lzh を読み込んでいます"));

    progress.show();
    QTest::keyClick(&progress, Qt::Key_Escape);
    QTest::keyClick(&progress, Qt::Key_Escape);
    QCOMPARE(stops, 1);
    QVERIFY(progress.isVisible());  // until the run has stopped
    QCOMPARE(progress.findChild<QLabel*>("progressText")->text(), QStringLiteral("中止しています..."));
    QVERIFY(!progress.findChild<QPushButton*>("cancel")->isEnabled());
  }

  void CancelDuringARunLeavesNoOutputAndNoWorkingFiles() {
    const auto samples = test::SampleArchives();
    WriteFileBytes(*dir_ / "day.lzh", samples.at(0).bytes);
    WriteFileBytes(*dir_ / "races.pdb", "old database");
    WriteFileBytes(*dir_ / "junk.lzh", "not an archive");
    WriteFileBytes(*dir_ / "day2.lzh", samples.at(1).bytes);
    Add({Path("day.lzh"), Path("junk.lzh"), Path("day2.lzh")});
    prompts_.whileWarning = [this] { Find("cancel")->click(); };
    Convert("races.pdb");

    QCOMPARE(ReadFileBytes(*dir_ / "races.pdb"), std::string("old database"));
    QVERIFY(WorkingFiles().isEmpty());
    QVERIFY(prompts_.opened.isEmpty());
    QCOMPARE(Find<QLabel>("status")->text(),
             QStringLiteral("中止しました。データベースは書き込まれませんでした。"));
  }

  void ArchivesFailingAlikeShowOneBoxAndAreAllListedAfterTheRun() {
    const auto samples = test::SampleArchives();
    const std::string noCard = test::PackLha({{.name = "readme.txt", .data = "no race card"}});
    QStringList archives;
    for (const char* name : {"good1.lzh", "bad1.lzh", "bad2.lzh", "good2.lzh", "bad3.lzh", "bad4.lzh"}) {
      const bool good = name[0] == 'g';
      WriteFileBytes(*dir_ / name, good ? samples.at(archives.size() / 3).bytes : noCard);
      archives << Path(name);
    }
    Add(archives);
    Convert("races.pdb");

    QCOMPARE(prompts_.warnings.size(), 1);
    QVERIFY(prompts_.warnings.first().endsWith("\n\nbad1.lzh"));
    QVERIFY(Find<QLabel>("status")->toolTip().startsWith("24 レースを書き込みました（失敗: 書庫 4）:\n"));
    QVERIFY(!Find("messages")->isHidden());
    QStringList listed;
    ModalAnswer answer([&](QWidget* modal) {
      listed = modal->findChild<QPlainTextEdit*>("messageList")->toPlainText().split('\n');
      modal->close();
    });
    Find("messages")->click();
    // Each message on its line after its place; the text's second line indented below.
    QCOMPARE(listed.size(), 8);
    for (int i = 0; i < 4; ++i) {
      QVERIFY(listed[2 * i].startsWith(Path(QStringLiteral("bad%1.lzh").arg(i + 1)) + ": "));
      QVERIFY(listed[2 * i + 1].startsWith("    "));
    }
  }

  void StatusLineCountsRunnersRacesAndArchivesApart() {
    RunReport report;
    QVERIFY(report.Gather({"x", {.archive = "a.lzh"}}));
    QVERIFY(!report.Gather({"x", {.archive = "b.lzh", .cardRace = 3}}));
    QVERIFY(report.Gather({"y", {.archive = "b.lzh", .cardRace = 3, .entry = 5}}));
    report.Gather({"y", {.archive = "b.lzh", .cardRace = 4, .entry = 1}});
    QCOMPARE(RunStatusText({.written = true, .racesWritten = 7}, report.Counts(), "/o.pdb"),
             QStringLiteral("7 レースを書き込みました（失敗: 書庫 1、レース 1、出走馬 2）:\n/o.pdb"));
    QCOMPARE(RunStatusText({.written = true, .racesWritten = 7}, {}, "/o.pdb"),
             QStringLiteral("7 レースを書き込みました:\n/o.pdb"));
  }

  void OutputThatIsOneOfTheArchivesIsRefused() {
    WriteFileBytes(*dir_ / "day.lzh", "archive bytes");
    Add({Path("day.lzh")});
    Convert("./day.lzh");

    QCOMPARE(prompts_.warnings,
             QStringList{prompts_.outputPath + " は変換するファイルの一つです。別の名前で保存してください。"});
    QCOMPARE(ReadFileBytes(*dir_ / "day.lzh"), std::string("archive bytes"));
    QVERIFY(prompts_.opened.isEmpty());
    QCOMPARE(Find<QLabel>("status")->text(), QStringLiteral("データベースは書き込まれませんでした。"));
  }

  void MessagesShowTheirLinesSplitByLineFeeds() {
    QCOMPARE(MessageBoxText("一行目\r\n二行目"), QStringLiteral("一行目\n二行目"));
  }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::DesktopDlgTest)
#include "desktop_dlg_test.moc"
