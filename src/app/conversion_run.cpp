#include "app/conversion_run.h"

#include <new>
#include <optional>

#include "app/user_texts.h"
#include "app/working_folders.h"
#include "archive/archive_extraction.h"
#include "jravan/race.h"
#include "jravan/race_card.h"
#include "pdb/file_error.h"
#include "pdb/palm_database.h"
#include "pdb/record_assembly.h"
#include "platform/file_checks.h"

namespace kelvane {
namespace {

class Silent : public MessageSink {
 public:
  void ShowMessage(const Message&) override {}
};

// The number of races of `card` that read, counted up to `limit` + 1.
std::size_t ReadableRaces(const RaceCard& card, std::size_t limit) {
  Silent silent;
  std::size_t readable = 0;
  Race race;
  for (int j = 1; j <= card.LineCount() && readable <= limit; ++j) {
    if (card.ReadRace(j, race, silent)) ++readable;
  }
  return readable;
}

enum class ArchiveResult { kDone, kTooManyRaces, kStopped };

// What one run keeps from archive to archive.
class Run {
 public:
  Run(const ConversionRequest& request, Env& env)
      : request_(request), env_(env), db_(PalmDatabase::CreateDefault(CurrentPalmTime(env.Now()))) {}

  // One archive, in one pass: unpacked, its races read and their records built. An
  // archive that fails adds none of its races. One whose races would take the database
  // past the records it can count adds none either, and ends the run.
  ArchiveResult ConvertArchive(const std::string& archive, const std::string& workingFolder) {
    PlacingSink messages(env_, {.archive = archive});
    const auto files = ExtractArchive(archive, workingFolder, messages);
    if (!files) return ArchiveResult::kDone;
    // The card is read once; every race of it is then taken from memory.
    const auto card = RaceCard::Open(files->cardPath, messages);
    if (!card) return ArchiveResult::kDone;
    const std::size_t room = kMaxRecords - db_.RecordCount();
    if (static_cast<std::size_t>(card->LineCount()) > room && ReadableRaces(*card, room) > room) {
      return ArchiveResult::kTooManyRaces;
    }
    for (int j = 1; j <= card->LineCount(); ++j) {
      if (env_.StopRequested()) return ArchiveResult::kStopped;
      static const Race kFresh;
      race_ = kFresh;
      if (!card->ReadRace(j, race_, messages)) continue;
      PlacingSink raceMessages(messages, PlaceOf(j, race_));
      if (!assembler_.Add(db_, race_, request_.alarm, raceMessages)) return ArchiveResult::kTooManyRaces;
    }
    return ArchiveResult::kDone;
  }

  const PalmDatabase& database() const { return db_; }

 private:
  const ConversionRequest& request_;
  Env& env_;
  PalmDatabase db_;
  RecordAssembler assembler_;
  Race race_;  // each race is read into this one, made fresh, keeping its texts' room
};

ConversionOutcome NotWritten(Env& env, const std::string& text) {
  env.ShowFileError(text);
  return {};
}

ConversionOutcome Stopped() { return {.stopped = true}; }

ConversionOutcome Convert(const ConversionRequest& request, Env& env, WorkingArea& area) {
  Run run(request, env);
  const auto workingFolders = WorkingFolders(area.path(), request.archives);
  for (std::size_t i = 0; i < request.archives.size(); ++i) {
    if (env.StopRequested()) return Stopped();
    env.ShowProgress(i, request.archives.size(), request.archives[i]);
    const ArchiveResult result = run.ConvertArchive(request.archives[i], workingFolders[i]);
    // Each archive's files go before the next one's come.
    area.Empty();
    if (result == ArchiveResult::kStopped) return Stopped();
    if (result == ArchiveResult::kTooManyRaces) {
      return NotWritten(env, TooManyRacesText(request.outputPath));
    }
  }
  if (env.StopRequested()) return Stopped();
  try {
    run.database().Write(request.outputPath);
  } catch (const FileError& error) {
    return NotWritten(env, FileErrorText(error));
  }
  env.OpenWithShell(request.outputPath);
  return {.written = true, .racesWritten = static_cast<int>(run.database().RecordCount())};
}

}  // namespace

ConversionOutcome RunConversion(const ConversionRequest& request, Env& env) {
  // A folder that cannot take the output is found before anything is unpacked.
  if (KindOfOutput(request.outputPath) == OutputKind::kFile) {
    if (const int error = OutputFolderError(request.outputPath); error != 0) {
      return NotWritten(env, FileErrorText(FileError(CauseOfOsError(error), request.outputPath, error)));
    }
  }
  try {
    int osError = 0;
    std::string failedFolder;
    auto area = WorkingArea::Create(request.baseFolder, osError, failedFolder);
    if (!area) return NotWritten(env, FileErrorText(FileError(CauseOfOsError(osError), failedFolder, osError)));
    return Convert(request, env, *area);
  } catch (const std::bad_alloc&) {
    // The working area is gone with the stack; the output was never touched, since
    // the database is written from memory that is all there before it starts.
    return NotWritten(env, OutOfMemoryText(request.outputPath));
  }
}

}  // namespace kelvane
