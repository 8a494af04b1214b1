#include "desktop/database_viewer.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "desktop/desktop_prompts.h"
#include "desktop/race_table_model.h"

namespace kelvane {

DatabaseViewer::DatabaseViewer(RaceDatabase db, const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window),
      db_(std::move(db)),
      races_(std::make_unique<RaceTableModel>(db_)),
      runners_(std::make_unique<RunnerTableModel>()),
      pastRuns_(std::make_unique<PastRunTableModel>()) {
  setObjectName(QStringLiteral("databaseViewer"));
  setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - Kelvane"));
  auto* splitter = tables_ = new QSplitter(Qt::Vertical, this);
  raceView_ = AddTable(splitter, QStringLiteral("races"), races_.get());
  runnerView_ = AddTable(splitter, QStringLiteral("runners"), runners_.get());
  AddTable(splitter, QStringLiteral("pastRuns"), pastRuns_.get());
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  splitter->setStretchFactor(2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter);
  resize(900, 700);

  connect(raceView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ShowRace(current); });
  connect(runnerView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ShowRunner(current); });
  if (!db_.races.empty()) raceView_->selectRow(0);
}

DatabaseViewer::~DatabaseViewer() { delete tables_; }

QTableView* DatabaseViewer::AddTable(QWidget* owner, const QString& name,
                                     QAbstractItemModel* model) {
  auto* view = new QTableView(owner);
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
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  view->horizontalHeader()->setStretchLastSection(true);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
  return view;
}

// The row of the source model behind a view's index.
static int SourceRow(const QModelIndex& index) {
  const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(index.model());
  return proxy ? proxy->mapToSource(index).row() : index.row();
}

void DatabaseViewer::ShowRace(const QModelIndex& current) {
  race_ = current.isValid() ? &db_.races[static_cast<std::size_t>(SourceRow(current))] : nullptr;
  pastRuns_->SetRunner(nullptr);
  runners_->SetRace(race_);
}

void DatabaseViewer::ShowRunner(const QModelIndex& current) {
  pastRuns_->SetRunner(current.isValid() && race_
                           ? &race_->runners[static_cast<std::size_t>(SourceRow(current))]
                           : nullptr);
}

std::optional<RaceDatabase> ReadDatabaseFile(const QString& path, QString& reason) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    reason = QStringLiteral("cannot read ") + path;
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  std::string problem;
  auto db = ReadRaceDatabase(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                static_cast<std::size_t>(bytes.size())),
      problem);
  if (!db) reason = QString::fromStdString(NotARaceDatabaseText(path.toStdString(), problem));
  return db;
}

bool OpenDatabaseViewer(const QString& path, QWidget* parent, MessageBoxes& boxes) {
  QString reason;
  auto db = ReadDatabaseFile(path, reason);
  if (!db) {
    boxes.ShowWarning(parent, reason);
    return false;
  }
  auto* viewer = new DatabaseViewer(std::move(*db), path, parent);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  viewer->show();
  return true;
}

bool OpenDatabaseViewer(const QString& path, QWidget* parent) {
  return OpenDatabaseViewer(path, parent, *SystemPrompts().boxes);
}

}  // namespace kelvane
