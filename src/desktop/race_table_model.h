#pragma once

// The tables of the database viewer: the races of a database, the runners of one
// race and the past runs of one runner, read-only. Each cell shows a text in the form
// `kelvane dump` prints it; the sort role gives numbers as numbers, so that a sorted
// column of distances or odds is in numeric order.

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

#include "pdb/race_database_reader.h"

namespace kelvane {

class ReadOnlyTableModel : public QAbstractTableModel {
 public:
  // The role that QSortFilterProxyModel sorts the tables by.
  static constexpr int kSortRole = Qt::UserRole;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 protected:
  struct Column {
    QString header;
    std::function<QString(int row)> text;
    std::function<QVariant(int row)> sortKey;  // none: the text
  };
  explicit ReadOnlyTableModel(std::vector<Column> columns) : columns_(std::move(columns)) {}
  // Starts showing `rows` rows of new content.
  void Reset(int rows);

 private:
  std::vector<Column> columns_;
  int rows_ = 0;
};

// One row per race: date, racecourse, race number, name, grade, distance, post time,
// runners.
class RaceTableModel : public ReadOnlyTableModel {
 public:
  explicit RaceTableModel(const RaceDatabaseFile& db);

 private:
  const RacePart& Race(int row) const { return db_.Race(static_cast<std::size_t>(row)); }
  const RaceDatabaseFile& db_;
};

// One row per runner of a race: frame, number, horse, sex and age, weight carried,
// jockey, estimated odds, running style, last places.
class RunnerTableModel : public ReadOnlyTableModel {
 public:
  RunnerTableModel();
  void SetRace(const RaceRecord* race);

 private:
  const RunnerPart& Runner(int row) const {
    return race_->runners[static_cast<std::size_t>(row)];
  }
  const RaceRecord* race_ = nullptr;
};

// One row per past run read of a runner, the most recent first.
class PastRunTableModel : public ReadOnlyTableModel {
 public:
  PastRunTableModel();
  void SetRunner(const RunnerPart* runner);

 private:
  const PastRunBlock& Run(int row) const {
    return runner_->pastRuns[static_cast<std::size_t>(row)];
  }
  const RunnerPart* runner_ = nullptr;
};

}  // namespace kelvane
