#pragma once

#include <memory>
#include <string>
#include <vector>

#include "messages/message.h"
#include "jravan/race.h"
#include "pdb/palm_database.h"

namespace kelvane {

class HorseRegister;

// Builds the records of races one after another, keeping what consecutive races
// share: the horse register last read, and the runners' room.
class RecordAssembler {
 public:
  RecordAssembler();
  ~RecordAssembler();
  RecordAssembler(const RecordAssembler&) = delete;
  RecordAssembler& operator=(const RecordAssembler&) = delete;

  // Builds the record of `race` into `record` (whose room is kept from race to race):
  // the race, then every runner read from the race's horse register with its odds
  // estimated; `alarm` sets the start alarm byte. A horse that cannot be read (the
  // reader shows why, with the runner's entry number and horse) ends the reading of
  // that race: it and the entries after it keep fresh runners, and the record still
  // has a runner part for every entry.
  void Build(const Race& race, bool alarm, MessageSink& messages, Bytes& record);

  // Races whose horseFilePath is `path` take their runners from `horses`, already
  // read, until another register is used.
  void UseHorseRegister(std::string path, HorseRegister horses);

 private:
  struct Shared;
  std::unique_ptr<Shared> shared_;
};

}  // namespace kelvane
