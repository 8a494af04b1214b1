#pragma once

// A window that shows what a race database holds: its races, the runners of the race
// selected, the past runs of the runner selected. Read-only; every column sorts.

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "pdb/race_database_reader.h"

class QAbstractItemModel;
class QModelIndex;
class QSplitter;
class QTableView;

namespace kelvane {

class MessageBoxes;
class PastRunTableModel;
class RaceTableModel;
class RunnerTableModel;

class DatabaseViewer : public QWidget {
 public:
  // Shows `db`, read from the file at `path`, which the title names.
  DatabaseViewer(RaceDatabase db, const QString& path, QWidget* parent = nullptr);
  ~DatabaseViewer() override;

 private:
  QTableView* AddTable(QWidget* owner, const QString& name, QAbstractItemModel* model);
  void ShowRace(const QModelIndex& current);
  void ShowRunner(const QModelIndex& current);

  RaceDatabase db_;
  std::unique_ptr<RaceTableModel> races_;
  std::unique_ptr<RunnerTableModel> runners_;
  std::unique_ptr<PastRunTableModel> pastRuns_;
  QSplitter* tables_ = nullptr;  // the views, which go before the models they show
  QTableView* raceView_ = nullptr;
  QTableView* runnerView_ = nullptr;
  const RaceRecord* race_ = nullptr;
};

// Opens a viewer window on the race database at `path` (a window of its own, deleted
// when closed) and returns true. A file that cannot be read or is not a race
// database shows the reason in a warning box over `parent` and returns false.
bool OpenDatabaseViewer(const QString& path, QWidget* parent);
// The same, with the warning shown through `boxes`.
bool OpenDatabaseViewer(const QString& path, QWidget* parent, MessageBoxes& boxes);

// The database at `path`, or nothing with the sentence that says why not.
std::optional<RaceDatabase> ReadDatabaseFile(const QString& path, QString& reason);

}  // namespace kelvane
