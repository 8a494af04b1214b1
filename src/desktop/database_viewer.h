#pragma once

// A window that shows what a race database holds: its races, the runners of the race
// selected, the past runs of the runner selected. Read-only; every column sorts.
// The file is read race by race: opening it reads the races, and a race's runners
// are read when it is selected, so that a season's database opens at once and takes
// little memory.

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
  // Shows `db`, read from the file at `path`, which the title names. A race whose
  // runners can no longer be read (the file was cut short meanwhile) is told of
  // through `boxes`, once.
  DatabaseViewer(RaceDatabaseFile db, const QString& path, MessageBoxes& boxes,
                 QWidget* parent = nullptr);
  ~DatabaseViewer() override;

 private:
  QTableView* AddTable(const QString& name, QAbstractItemModel* model);
  void ShowRace(const QModelIndex& current);
  void ShowRunner(const QModelIndex& current);
  void FitToScreenAndTables();

  RaceDatabaseFile db_;
  QString path_;
  MessageBoxes& boxes_;
  std::unique_ptr<RaceTableModel> races_;
  std::unique_ptr<RunnerTableModel> runners_;
  std::unique_ptr<PastRunTableModel> pastRuns_;
  QSplitter* tables_ = nullptr;  // the views, which go before the models they show
  QTableView* raceView_ = nullptr;
  QTableView* runnerView_ = nullptr;
  QTableView* pastRunView_ = nullptr;
  std::optional<RaceRecord> race_;  // the race selected, with its runners
  bool toldUnreadable_ = false;
};

// Opens a viewer window on the race database at `path` (a window of its own, deleted
// when closed) and returns true. A file that cannot be read or is not a race
// database shows the reason in a warning box over `parent` and returns false.
bool OpenDatabaseViewer(const QString& path, QWidget* parent);
// The same, with the boxes shown through `boxes`, which must outlive the viewer.
bool OpenDatabaseViewer(const QString& path, QWidget* parent, MessageBoxes& boxes);

// The database at `path`, opened race by race, or nothing with the box text that says
// why not.
std::optional<RaceDatabaseFile> ReadDatabaseFile(const QString& path, QString& reason);

}  // namespace kelvane
