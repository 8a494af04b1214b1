#include "app/conversion_run.h"

#include <new>
#include <optional>

#include "app/archive_unpacker.h"
#include "app/user_texts.h"
#include "app/working_folders.h"
#include "archive/archive_extraction.h"
#include "jravan/horse_register.h"
#include "jravan/race.h"
#include "jravan/race_card.h"
#include "pdb/palm_database.h"
#include "pdb/record_assembly.h"
#include "pdb/spooled_database.h"
#include "platform/file_checks.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/run_folder.h"

namespace kelvane {
namespace {

constexpr const char* kSpoolPrefix = "records-";
constexpr const char* kSpoolBesideOutputPrefix = ".kelvane-spool-";
constexpr const char* kArchivesFolderName = "archives";

// Where the records are spooled. Beside an output file, so that the database is put in
// place with a copy within its own folder (which the kernel makes cheaply) rather than
// through the working area; the spool's failures are then the output's. Otherwise (a
// stream) in the working area, where it is named as itself.
struct SpoolPlace {
  OwnFolder folder;
  const char* prefix;
  std::string shownAs;
};

SpoolPlace SpoolPlaceFor(const std::string& outputPath, const OwnFolder& runFolder) {
  if (KindOfOutput(outputPath) != OutputKind::kFile) {
    return {runFolder, kSpoolPrefix, ""};
  }
  try {
    return {OwnFolder::Open(FolderOfOutputFile(outputPath)), kSpoolBesideOutputPrefix, outputPath};
  } catch (const FileError& error) {
    throw FileError(error.failure(), outputPath);
  }
}

class Silent : public MessageSink {
 public:
  void ShowMessage(const Message&) override {}
};

// The number of races of `card` that read, counted up to `limit` + 1.
std::size_t ReadableRaces(const RaceCard& card, std::size_t limit) {
  Silent silent;
  std::size_t readable = 0;
  Race race;
  for (int j = 1; j <= card.CountRaces() && readable <= limit; ++j) {
    if (card.ReadRace(j, race, silent)) ++readable;
  }
  return readable;
}

enum class ArchiveResult { kDone, kTooManyRaces, kStopped };

// What one run keeps from archive to archive: the database being spooled, and what
// building the records reuses.
class Run {
 public:
  Run(const ConversionRequest& request, Env& env, const SpoolPlace& spool)
      : request_(request),
        env_(env),
        db_(PalmDatabase::CreateDefault(CurrentPalmTime(env.Now())), spool.folder, spool.prefix, spool.shownAs) {}

  // The races of one unpacked archive, read and made into records. An archive whose
  // races would take the database past the records it can count adds none of them,
  // and ends the run.
  ArchiveResult ConvertArchive(const DataFiles& files, MessageSink& messages) {
    // The card and the register are read once, from the archive's own folder; every
    // race and horse is then taken from memory.
    const RaceCard card(files.cardPath, files.folder.ReadFile(kRaceCardName), files.horseFilePath);
    assembler_.UseHorseRegister(files.horseFilePath, HorseRegister(files.folder.ReadFile(kHorseRegisterName)));
    const std::size_t room = kMaxRecords - db_.RecordCount();
    if (static_cast<std::size_t>(card.CountRaces()) > room && ReadableRaces(card, room) > room) {
      return ArchiveResult::kTooManyRaces;
    }
    for (int j = 1; j <= card.CountRaces(); ++j) {
      if (env_.StopRequested()) return ArchiveResult::kStopped;
      static const Race kFresh;
      race_ = kFresh;
      if (!card.ReadRace(j, race_, messages)) continue;
      PlacingSink raceMessages(messages, PlaceOf(j, race_));
      assembler_.Build(race_, request_.alarm, raceMessages, record_);
      if (!db_.AddRecord(record_)) return ArchiveResult::kTooManyRaces;
    }
    return ArchiveResult::kDone;
  }

  const SpooledDatabase& database() const { return db_; }

 private:
  const ConversionRequest& request_;
  Env& env_;
  SpooledDatabase db_;
  RecordAssembler assembler_;
  Race race_;      // each race is read into this one, made fresh, keeping its texts' room
  Bytes record_;   // and built into this one
};

ConversionOutcome NotWritten(Env& env, const std::string& text) {
  env.ShowFileError(text);
  return {};
}

ConversionOutcome Stopped() { return {.stopped = true}; }

// The archives in list order, each unpacked while the one before it is read; each
// archive's files go as soon as its races are read.
ConversionOutcome Convert(const ConversionRequest& request, Env& env, const WorkingArea& area) {
  Run run(request, env, SpoolPlaceFor(request.outputPath, area.folder()));
  const OwnFolder archivesFolder = area.folder().MakeFolder(kArchivesFolderName);
  const auto folderNames = WorkingFolderNames(request.archives);
  ArchiveUnpacker unpacker(request.archives, folderNames, archivesFolder,
                           request.unpackThreads > 0 ? request.unpackThreads : DefaultUnpackThreads());
  for (std::size_t i = 0; i < request.archives.size(); ++i) {
    if (env.StopRequested()) return Stopped();
    env.ShowProgress(i, request.archives.size(), request.archives[i]);
    PlacingSink messages(env, {.archive = request.archives[i]});
    ArchiveUnpacker::Unpacked unpacked = unpacker.Take(i);
    for (const Message& message : unpacked.messages) messages.ShowMessage(message);
    const ArchiveResult result =
        unpacked.files ? run.ConvertArchive(*unpacked.files, messages) : ArchiveResult::kDone;
    archivesFolder.Remove(folderNames[i]);
    if (result == ArchiveResult::kStopped) return Stopped();
    if (result == ArchiveResult::kTooManyRaces) {
      return NotWritten(env, TooManyRacesText(request.outputPath));
    }
  }
  if (env.StopRequested()) return Stopped();
  run.database().Write(request.outputPath, [&env] { return env.StopRequested(); });
  env.OpenWithShell(request.outputPath);
  return {.written = true, .racesWritten = static_cast<int>(run.database().RecordCount())};
}

}  // namespace

ConversionOutcome RunConversion(const ConversionRequest& request, Env& env) {
  // A folder that cannot take the output is found before anything is unpacked.
  if (KindOfOutput(request.outputPath) == OutputKind::kFile) {
    if (const auto failure = OutputFolderError(request.outputPath)) {
      return NotWritten(env, FileErrorText(FileError(*failure, request.outputPath)));
    }
  }
  // What the machine fails ends the run, named where it failed: the working area, the
  // spool, the output. The working area goes with the stack; an output being written
  // is left as it was, since only a whole new file replaces it.
  try {
    return Convert(request, env, WorkingArea::Create(request.baseFolder));
  } catch (const FileError& error) {
    return NotWritten(env, FileErrorText(error));
  } catch (const FolderNotPrivate& refused) {
    return NotWritten(env, FolderNotPrivateText(refused.path()));
  } catch (const std::bad_alloc&) {
    return NotWritten(env, OutOfMemoryText(request.outputPath));
  } catch (const WriteStopped&) {
    return Stopped();
  }
}

}  // namespace kelvane
