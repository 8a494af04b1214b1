#include "desktop/database_viewer.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "desktop/scripted_prompts.h"
#include "desktop/race_table_model.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

QString SamplesPath() {
  return qEnvironmentVariable("KELVANE_SOURCE_DIR") + QStringLiteral("/tests/data/samples.pdb");
}

RaceDatabaseFile Open(const QString& path) {
  QString reason;
  auto db = ReadDatabaseFile(path, reason);
  if (!db) qFatal("%s", qPrintable(reason));
  return std::move(*db);
}

QString Cell(const QAbstractItemModel* model, int row, int column) {
  return model->index(row, column).data().toString();
}

// Whether row `row` of `view` is whole inside its viewport.
bool RowShown(const QTableView* view, int row) {
  const QRect rect = view->visualRect(view->model()->index(row, 0));
  return rect.isValid() && view->viewport()->rect().contains(rect);
}

class DatabaseViewerTest : public QObject {
  Q_OBJECT

 private:
  static QTableView* View(QWidget& viewer, const char* name) {
    return viewer.findChild<QTableView*>(QString::fromLatin1(name));
  }
  static QAbstractItemModel* Table(QWidget& viewer, const char* name) { return View(viewer, name)->model(); }

  ScriptedPrompts prompts_;

 private slots:
  void racesShowTheirCellsReadOnlyAndSortByNumber() {
    const RaceDatabaseFile db = Open(SamplesPath());
    RaceTableModel races(db);
    QCOMPARE(races.rowCount(), 24);
    QCOMPARE(races.columnCount(), 8);
    QCOMPARE(Cell(&races, 0, 0), QStringLiteral("2003-12-28"));
    QCOMPARE(Cell(&races, 0, 1), QStringLiteral("中山"));
    QCOMPARE(Cell(&races, 0, 3), QStringLiteral("ｻﾗ２歳未勝利"));
    QCOMPARE(Cell(&races, 0, 5), QStringLiteral("ダート　右回り 1200m"));
    QCOMPARE(Cell(&races, 0, 6), QStringLiteral("09:50"));
    QVERIFY(!(races.flags(races.index(0, 3)) & Qt::ItemIsEditable));

    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&races);
    sorted.setSortRole(ReadOnlyTableModel::kSortRole);
    sorted.sort(5, Qt::DescendingOrder);
    int previous = 1 << 30;
    for (int row = 0; row < sorted.rowCount(); ++row) {
      const int distance = sorted.index(row, 5).data(ReadOnlyTableModel::kSortRole).toInt();
      QVERIFY(distance <= previous);
      previous = distance;
    }
  }

  void viewerShowsTheRunnersOfTheRaceAndThePastRunsOfTheRunnerSelected() {
    DatabaseViewer viewer(Open(SamplesPath()), SamplesPath(), prompts_);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("samples.pdb - Kelvane"));
    QAbstractItemModel* runners = Table(viewer, "runners");
    QCOMPARE(runners->rowCount(), 16);
    QCOMPARE(Cell(runners, 0, 2), QStringLiteral("サクラウインド"));
    QCOMPARE(Cell(runners, 0, 3), QStringLiteral("牡2"));
    QCOMPARE(Cell(runners, 0, 6), QStringLiteral("10.0"));
    QCOMPARE(Cell(runners, 1, 8), QStringLiteral("9-3-14-6"));

    View(viewer, "runners")->selectRow(1);
    QAbstractItemModel* pastRuns = Table(viewer, "pastRuns");
    QCOMPARE(pastRuns->rowCount(), 4);
    QCOMPARE(Cell(pastRuns, 0, 6), QStringLiteral("9"));

    // Odds sort as numbers: 3.6 before 10.0.
    runners->sort(6, Qt::AscendingOrder);
    QCOMPARE(Cell(runners, 0, 6), QStringLiteral("3.6"));
    View(viewer, "races")->selectRow(1);
    QCOMPARE(runners->rowCount(), 14);
    QCOMPARE(pastRuns->rowCount(), 0);
  }

  void columnsFitTheirContentsAndFivePastRunsShowWhole() {
    DatabaseViewer viewer(Open(SamplesPath()), SamplesPath(), prompts_);
    viewer.show();
    QTableView* races = View(viewer, "races");
    // Every text whole, the last column no wider than its header, all in the window.
    const QAbstractItemModel* model = races->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      for (int column = 0; column < model->columnCount(); ++column) {
        QVERIFY(races->fontMetrics().horizontalAdvance(Cell(model, row, column)) < races->columnWidth(column));
      }
    }
    QVERIFY(races->columnWidth(7) < 2 * races->horizontalHeader()->sectionSizeHint(7));
    QVERIFY(races->horizontalHeader()->length() <= races->viewport()->width());
    const auto fivePastRuns = [&] { return Table(viewer, "pastRuns")->rowCount() == 5; };
    for (int race = 0; race < model->rowCount() && !fivePastRuns(); ++race) {
      races->selectRow(race);
      for (int row = 0; row < Table(viewer, "runners")->rowCount() && !fivePastRuns(); ++row) {
        View(viewer, "runners")->selectRow(row);
      }
    }
    QVERIFY(fivePastRuns());
    QVERIFY(RowShown(View(viewer, "pastRuns"), 4));
    viewer.resize(viewer.width(), 200);  // however short the window is made
    QApplication::processEvents();
    QVERIFY(RowShown(View(viewer, "pastRuns"), 4));
  }

  void aSortKeepsTheSelectedRaceInView() {
    DatabaseViewer viewer(Open(SamplesPath()), SamplesPath(), prompts_);
    viewer.resize(800, 500);
    viewer.show();
    QTableView* races = View(viewer, "races");
    races->selectRow(23);  // the last race, the Hanshin 12R, scrolled to
    QVERIFY(!RowShown(races, 0));
    races->sortByColumn(2, Qt::DescendingOrder);  // the 12th races first
    QCOMPARE(races->currentIndex().row(), 1);
    QVERIFY(RowShown(races, 1));
  }

  void escapeAndCtrlWCloseIt_data() {
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Escape") << QKeySequence(Qt::Key_Escape);
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
  }

  void escapeAndCtrlWCloseIt() {
    QFETCH(QKeySequence, keys);
    DatabaseViewer viewer(Open(SamplesPath()), SamplesPath(), prompts_);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    QTest::keySequence(View(viewer, "races"), keys);
    QVERIFY(!viewer.isVisible());
  }

  void aFileThatIsNotARaceDatabaseShowsWhyInABox() {
    test::ScopedTempDir dir;
    test::WriteFileBytes(dir / "short.pdb", std::string(40, 'x'));
    std::string foreign = test::ReadFileBytes(SamplesPath().toStdString());
    foreign.replace(60, 4, "TEXt");
    test::WriteFileBytes(dir / "foreign.pdb", foreign);
    std::filesystem::create_directory(dir / "folder.pdb");
    ScriptedPrompts prompts;
    for (const char* name : {"short.pdb", "foreign.pdb", "missing.pdb", "folder.pdb"}) {
      QVERIFY(!OpenDatabaseViewer(QString::fromStdString(dir / name), nullptr, prompts));
    }
    const auto reason = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
    QCOMPARE(prompts.warnings,
             (QStringList{"ファイル 'short.pdb' は Kelvane のレースデータベースではありません（短すぎます: 40 バイト）",
                          "ファイル 'foreign.pdb' は Kelvane のレースデータベースではありません（種類とクリエーターが Data と tzQm ではありません）",
                          "ファイル 'missing.pdb' を読み込めません（" + reason(ENOENT) + "）",
                          "ファイル 'folder.pdb' を読み込めません（" + reason(EISDIR) + "）"}));
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void aDatabaseCutShortAfterOpeningIsToldOnce() {
    test::ScopedTempDir dir;
    const std::string samples = test::ReadFileBytes(SamplesPath().toStdString());
    test::WriteFileBytes(dir / "races.pdb", samples);
    const QString path = QString::fromStdString(dir / "races.pdb");
    DatabaseViewer viewer(Open(path), path, prompts_);
    std::filesystem::resize_file(dir / "races.pdb", samples.size() / 2);
    View(viewer, "races")->selectRow(22);
    View(viewer, "races")->selectRow(23);
    QCOMPARE(Table(viewer, "runners")->rowCount(), 0);
    QCOMPARE(prompts_.warnings,
             QStringList{"ファイル 'races.pdb' の出走馬を読み込めません（開いた後に変わりました）"});
  }

  void init() { prompts_ = ScriptedPrompts(); }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::DatabaseViewerTest)
#include "database_viewer_test.moc"
