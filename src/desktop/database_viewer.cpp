#include "desktop/database_viewer.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/desktop_prompts.h"
#include "desktop/race_table_model.h"
#include "desktop/run_report.h"
#include "desktop/screen_fit.h"
#include "platform/file_checks.h"

namespace kelvane {
namespace {

// The rows each table would like to show whole; the past runs always get theirs.
constexpr int kRaceRows = 15;
constexpr int kRunnerRows = 18;
constexpr int kPastRunRows = 5;

// Reads through `file`, opened unbuffered: each read takes just the bytes asked for.
ByteReader FileReader(std::shared_ptr<QFile> file) {
  return [file](std::uint64_t offset, std::span<std::uint8_t> out) {
    const auto size = static_cast<qint64>(out.size());
    return file->seek(static_cast<qint64>(offset)) &&
           file->read(reinterpret_cast<char*>(out.data()), size) == size;
  };
}

QString FileName(const QString& path) { return ShownFileName(path); }

QString NotADatabaseText(const QString& path, const QString& why) {
  return QStringLiteral("ファイル '%1' は Kelvane のレースデータベースではありません（%2）")
      .arg(FileName(path), why);
}

// What is wrong with the file, in the window's words.
QString ProblemText(const DatabaseProblem& problem, qint64 size) {
  using Kind = DatabaseProblem::Kind;
  switch (problem.kind) {
    case Kind::kTooShort: return QStringLiteral("短すぎます: %1 バイト").arg(size);
    case Kind::kWrongTypeOrCreator: return QStringLiteral("種類とクリエーターが Data と tzQm ではありません");
    case Kind::kOffsetsOutOfOrder: return QStringLiteral("レコード %1 の位置が正しくありません").arg(problem.record);
    case Kind::kRecordLength: return QStringLiteral("レコード %1 の長さが出走頭数と合いません").arg(problem.record);
    case Kind::kUnreadable: break;
  }
  return QStringLiteral("最後まで読み込めません");
}

// The row of the source model behind a view's index.
int SourceRow(const QModelIndex& index) {
  const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(index.model());
  return proxy ? proxy->mapToSource(index).row() : index.row();
}

int ScrollBarExtent(const QTableView* view) {
  return view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
}

// What a view needs to show `rows` rows whole under its header, a horizontal scroll
// bar or not.
int HeightForRows(const QTableView* view, int rows) {
  return view->horizontalHeader()->sizeHint().height() +
         rows * view->verticalHeader()->defaultSectionSize() + 2 * view->frameWidth() +
         ScrollBarExtent(view);
}

// What a view needs to show every column whole, beside a vertical scroll bar.
int WidthForColumns(const QTableView* view) {
  return view->horizontalHeader()->length() + 2 * view->frameWidth() + ScrollBarExtent(view);
}

}  // namespace

DatabaseViewer::DatabaseViewer(RaceDatabaseFile db, const QString& path, MessageBoxes& boxes,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      db_(std::move(db)),
      path_(path),
      boxes_(boxes),
      races_(std::make_unique<RaceTableModel>(db_)),
      runners_(std::make_unique<RunnerTableModel>()),
      pastRuns_(std::make_unique<PastRunTableModel>()) {
  setObjectName(QStringLiteral("databaseViewer"));
  setWindowTitle(FileName(path) + QStringLiteral(" - Kelvane"));
  tables_ = new QSplitter(Qt::Vertical, this);
  raceView_ = AddTable(QStringLiteral("races"), races_.get());
  runnerView_ = AddTable(QStringLiteral("runners"), runners_.get());
  pastRunView_ = AddTable(QStringLiteral("pastRuns"), pastRuns_.get());
  pastRunView_->setMinimumHeight(HeightForRows(pastRunView_, kPastRunRows));
  tables_->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tables_);

  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
  }
  connect(raceView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ShowRace(current); });
  connect(runnerView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ShowRunner(current); });
  raceView_->resizeColumnsToContents();
  // The first race and its first runner, so that every table shows what it holds and
  // the window can take the width of them all.
  if (db_.RaceCount() > 0) raceView_->selectRow(0);
  runnerView_->selectRow(0);
  FitToScreenAndTables();
}

DatabaseViewer::~DatabaseViewer() { delete tables_; }

// Columns take the width of their contents, set whenever new rows come, and stay as
// the person drags them; a sort keeps the selected row in view.
QTableView* DatabaseViewer::AddTable(const QString& name, QAbstractItemModel* model) {
  auto* view = new QTableView(tables_);
  auto* proxy = new QSortFilterProxyModel(view);
  proxy->setSourceModel(model);
  proxy->setSortRole(ReadOnlyTableModel::kSortRole);
  view->setObjectName(name);
  view->setModel(proxy);
  view->setSortingEnabled(true);
  view->sortByColumn(-1, Qt::AscendingOrder);  // the file's order until a header is clicked
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setStretchLastSection(false);
  connect(proxy, &QAbstractItemModel::modelReset, view, &QTableView::resizeColumnsToContents);
  connect(proxy, &QAbstractItemModel::layoutChanged, view,
          [view] { view->scrollTo(view->currentIndex()); });
  return view;
}

// As wide as the widest table's columns and tall enough for each table's rows, as far
// as the screen holds it; the past runs keep their five rows, the races and the
// runners share what is left.
void DatabaseViewer::FitToScreenAndTables() {
  const QMargins margins = layout()->contentsMargins();
  const int handles = 2 * tables_->handleWidth();
  const int width = std::max({WidthForColumns(raceView_), WidthForColumns(runnerView_),
                              WidthForColumns(pastRunView_)});
  const int pastRuns = HeightForRows(pastRunView_, kPastRunRows);
  const int runners = HeightForRows(runnerView_, kRunnerRows);
  const int races = HeightForRows(raceView_, kRaceRows);
  FitOnScreen(this,
              QSize(width, races + runners + pastRuns + handles).grownBy(margins),
              parentWidget());
  const int shared = std::max(0, height() - margins.top() - margins.bottom() - handles - pastRuns);
  const int runnersShown = std::min(runners, shared / 2);
  tables_->setSizes({shared - runnersShown, runnersShown, pastRuns});
}

void DatabaseViewer::ShowRace(const QModelIndex& current) {
  pastRuns_->SetRunner(nullptr);
  runners_->SetRace(nullptr);
  race_.reset();
  if (current.isValid()) race_ = db_.ReadRecord(static_cast<std::size_t>(SourceRow(current)));
  if (current.isValid() && !race_ && !toldUnreadable_) {
    toldUnreadable_ = true;
    boxes_.ShowWarning(this, QStringLiteral("ファイル '%1' の出走馬を読み込めません（開いた後に変わりました）")
                                 .arg(FileName(path_)));
  }
  runners_->SetRace(race_ ? &*race_ : nullptr);
}

void DatabaseViewer::ShowRunner(const QModelIndex& current) {
  pastRuns_->SetRunner(current.isValid() && race_
                           ? &race_->runners[static_cast<std::size_t>(SourceRow(current))]
                           : nullptr);
}

std::optional<RaceDatabaseFile> ReadDatabaseFile(const QString& path, QString& reason) {
  const std::string native = QFile::encodeName(path).toStdString();
  auto file = std::make_shared<QFile>(path);
  // A FIFO or device is not opened: it could hold the window up.
  if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    const auto failure = ErrorReadingFile(native);
    reason = failure ? UnreadableFileText(path, ReasonText(*failure))
                     : NotADatabaseText(path, QStringLiteral("通常のファイルではありません"));
    return std::nullopt;
  }
  const qint64 size = file->size();
  DatabaseProblem problem;
  auto db = RaceDatabaseFile::Open(FileReader(std::move(file)), static_cast<std::uint64_t>(size), problem);
  if (!db) reason = NotADatabaseText(path, ProblemText(problem, size));
  return db;
}

bool OpenDatabaseViewer(const QString& path, QWidget* parent, MessageBoxes& boxes) {
  QString reason;
  auto db = ReadDatabaseFile(path, reason);
  if (!db) {
    boxes.ShowWarning(parent, reason);
    return false;
  }
  auto* viewer = new DatabaseViewer(std::move(*db), path, boxes, parent);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  viewer->show();
  return true;
}

bool OpenDatabaseViewer(const QString& path, QWidget* parent) {
  return OpenDatabaseViewer(path, parent, *SystemPrompts().boxes);
}

}  // namespace kelvane
