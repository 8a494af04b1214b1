#include "desktop/database_viewer.h"

#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include "desktop/desktop_prompts.h"
#include "desktop/race_table_model.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

QString SamplesPath() {
  return qEnvironmentVariable("KELVANE_SOURCE_DIR") + QStringLiteral("/tests/data/samples.pdb");
}

RaceDatabase Samples() {
  QString reason;
  auto db = ReadDatabaseFile(SamplesPath(), reason);
  return db ? std::move(*db) : RaceDatabase{};
}

QString Cell(const QAbstractItemModel* model, int row, int column) {
  return model->index(row, column).data().toString();
}

class DatabaseViewerTest : public QObject {
  Q_OBJECT

 private:
  static QAbstractItemModel* Table(QWidget& viewer, const char* name) {
    return viewer.findChild<QTableView*>(QString::fromLatin1(name))->model();
  }

 private slots:
  void racesShowTheirCellsReadOnlyAndSortByNumber() {
    const RaceDatabase db = Samples();
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
    DatabaseViewer viewer(Samples(), SamplesPath());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("samples.pdb - Kelvane"));
    QAbstractItemModel* runners = Table(viewer, "runners");
    QCOMPARE(runners->rowCount(), 16);
    QCOMPARE(Cell(runners, 0, 2), QStringLiteral("サクラウインド"));
    QCOMPARE(Cell(runners, 0, 3), QStringLiteral("牡2"));
    QCOMPARE(Cell(runners, 0, 6), QStringLiteral("10.0"));
    QCOMPARE(Cell(runners, 1, 8), QStringLiteral("9-3-14-6"));

    auto* runnerView = viewer.findChild<QTableView*>(QStringLiteral("runners"));
    runnerView->selectRow(1);
    QAbstractItemModel* pastRuns = Table(viewer, "pastRuns");
    QCOMPARE(pastRuns->rowCount(), 4);
    QCOMPARE(Cell(pastRuns, 0, 6), QStringLiteral("9"));

    // Odds sort as numbers: 3.6 before 10.0.
    runners->sort(6, Qt::AscendingOrder);
    QCOMPARE(Cell(runners, 0, 6), QStringLiteral("3.6"));
    viewer.findChild<QTableView*>(QStringLiteral("races"))->selectRow(1);
    QCOMPARE(runners->rowCount(), 14);
    QCOMPARE(pastRuns->rowCount(), 0);
  }

  void aFileThatIsNotARaceDatabaseShowsWhyInABox() {
    test::ScopedTempDir dir;
    test::WriteFileBytes(dir / "races.pdb", std::string(40, 'x'));
    ScriptedPrompts prompts;
    const QString path = QString::fromStdString(dir / "races.pdb");
    QVERIFY(!OpenDatabaseViewer(path, nullptr, prompts));
    QVERIFY(!OpenDatabaseViewer(path + QStringLiteral(".missing"), nullptr, prompts));
    QCOMPARE(prompts.warnings,
             QStringList({path + QStringLiteral(" is not a race database written by Kelvane: too "
                                                "short: 40 bytes, but the header alone takes 78"),
                          QStringLiteral("cannot read ") + path + QStringLiteral(".missing")}));
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::DatabaseViewerTest)
#include "database_viewer_test.moc"
