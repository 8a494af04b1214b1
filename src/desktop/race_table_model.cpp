#include "desktop/race_table_model.h"

#include <algorithm>

#include "codes/code_rendering.h"
#include "codes/text_shaping.h"
#include "pdb/record_display.h"

namespace kelvane {
namespace {

QString Shown(std::string_view cp932) { return QString::fromStdString(ShownText(cp932)); }

QString Number(unsigned value) { return QString::number(value); }

int DateKey(unsigned year, unsigned month, unsigned day) {
  return static_cast<int>(year * 10000 + month * 100 + day);
}

QString PastRunDate(const PastRunBlock& run) {
  return QString::asprintf("%04u-%02u-%02u", run.year, run.month, run.day);
}

const QString kNoHorse = QStringLiteral("（馬のデータを読めませんでした）");

}  // namespace

int ReadOnlyTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int ReadOnlyTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReadOnlyTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const Column& column = columns_[static_cast<std::size_t>(index.column())];
  if (role == Qt::DisplayRole) return column.text(index.row());
  if (role == kSortRole) return column.sortKey ? column.sortKey(index.row()) : column.text(index.row());
  if (role == Qt::TextAlignmentRole && column.sortKey) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant ReadOnlyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
  return columns_[static_cast<std::size_t>(section)].header;
}

Qt::ItemFlags ReadOnlyTableModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void ReadOnlyTableModel::Reset(int rows) {
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

RaceTableModel::RaceTableModel(const RaceDatabaseFile& db)
    : ReadOnlyTableModel({
          {QStringLiteral("日付"), [this](int r) { return QString::fromStdString(RaceDate(Race(r))); },
           [this](int r) { return DateKey(Race(r).year, Race(r).month, Race(r).day); }},
          {QStringLiteral("競馬場"), [this](int r) { return Shown(RacecourseNameAt(Race(r).racecourseIndex)); }, {}},
          {QStringLiteral("R"), [this](int r) { return Number(Race(r).raceNumber); },
           [this](int r) { return Race(r).raceNumber; }},
          {QStringLiteral("レース名"), [this](int r) { return Shown(Race(r).raceName); }, {}},
          {QStringLiteral("グレード"), [this](int r) { return Shown(GradeTextAt(Race(r).gradeIndex)); }, {}},
          {QStringLiteral("距離"),
           [this](int r) { return Shown(TrackText(Race(r).trackCode)) + ' ' + Number(Race(r).distance) + 'm'; },
           [this](int r) { return Race(r).distance; }},
          {QStringLiteral("発走"), [this](int r) { return QString::fromStdString(PostTime(Race(r))); }, {}},
          {QStringLiteral("頭数"), [this](int r) { return Number(Race(r).runnerCount); },
           [this](int r) { return Race(r).runnerCount; }},
      }),
      db_(db) {
  Reset(static_cast<int>(db_.RaceCount()));
}

RunnerTableModel::RunnerTableModel()
    : ReadOnlyTableModel({
          {QStringLiteral("枠"), [this](int r) { return Number(Runner(r).frameNumber); },
           [this](int r) { return Runner(r).frameNumber; }},
          {QStringLiteral("馬番"), [this](int r) { return Number(Runner(r).horseNumber); },
           [this](int r) { return Runner(r).horseNumber; }},
          {QStringLiteral("馬名"),
           [this](int r) { return HoldsNoHorse(Runner(r)) ? kNoHorse : Shown(Runner(r).horseName); }, {}},
          {QStringLiteral("性齢"),
           [this](int r) { return HoldsNoHorse(Runner(r)) ? QString() : Shown(SexAndAge(Runner(r))); }, {}},
          {QStringLiteral("斤量"), [this](int r) { return QString::fromStdString(Tenths(Runner(r).weightCarried)); },
           [this](int r) { return Runner(r).weightCarried; }},
          {QStringLiteral("騎手"), [this](int r) { return Shown(TrimFullWidthSpaces(Runner(r).jockeyName)); }, {}},
          {QStringLiteral("予想オッズ"),
           [this](int r) {
             return HoldsNoHorse(Runner(r)) ? QString()
                                            : QString::fromStdString(Tenths(Runner(r).estimatedOdds));
           },
           [this](int r) { return Runner(r).estimatedOdds; }},
          {QStringLiteral("脚質"),
           [this](int r) { return HoldsNoHorse(Runner(r)) ? QString() : Shown(RunningStyleText(Runner(r))); }, {}},
          {QStringLiteral("近走"), [this](int r) { return QString::fromStdString(FormFigures(Runner(r))); }, {}},
      }) {}

void RunnerTableModel::SetRace(const RaceRecord* race) {
  race_ = race;
  Reset(race ? static_cast<int>(race->runners.size()) : 0);
}

PastRunTableModel::PastRunTableModel()
    : ReadOnlyTableModel({
          {QStringLiteral("日付"), [this](int r) { return PastRunDate(Run(r)); },
           [this](int r) { return DateKey(Run(r).year, Run(r).month, Run(r).day); }},
          {QStringLiteral("競馬場"), [this](int r) { return Shown(RacecourseNameAt(Run(r).racecourseIndex)); }, {}},
          {QStringLiteral("R"), [this](int r) { return Number(Run(r).raceNumber); },
           [this](int r) { return Run(r).raceNumber; }},
          {QStringLiteral("条件"), [this](int r) { return Shown(Run(r).conditionText); }, {}},
          {QStringLiteral("グレード"), [this](int r) { return Shown(GradeTextAt(Run(r).gradeIndex)); }, {}},
          {QStringLiteral("距離"), [this](int r) { return Number(Run(r).distance) + 'm'; },
           [this](int r) { return Run(r).distance; }},
          {QStringLiteral("着順"),
           [this](int r) { return Run(r).finishPosition > 0 ? Number(Run(r).finishPosition) : QStringLiteral("x"); },
           [this](int r) { return Run(r).finishPosition; }},
          {QStringLiteral("着差"), [this](int r) { return Shown(MarginTextAt(Run(r).marginIndex)); }, {}},
          {QStringLiteral("騎手"), [this](int r) { return Shown(TrimFullWidthSpaces(Run(r).jockeyName)); }, {}},
          {QStringLiteral("斤量"), [this](int r) { return QString::fromStdString(Tenths(Run(r).weightCarried)); },
           [this](int r) { return Run(r).weightCarried; }},
          {QStringLiteral("相手馬"), [this](int r) { return Shown(Run(r).otherHorseName); }, {}},
      }) {}

void PastRunTableModel::SetRunner(const RunnerPart* runner) {
  runner_ = runner;
  const std::size_t read = runner ? std::min<std::size_t>(runner->pastRunCount, runner->pastRuns.size()) : 0;
  Reset(static_cast<int>(read));
}

}  // namespace kelvane
