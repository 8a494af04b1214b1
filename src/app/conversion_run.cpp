#include "app/conversion_run.h"

#include <functional>
#include <new>
#include <optional>

#include "app/archives_ahead.h"
#include "app/user_texts.h"
#include "app/working_folders.h"
#include "pdb/palm_database.h"
#include "pdb/spooled_database.h"
#include "platform/file_checks.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/memory_reuse.h"
#include "platform/run_folder.h"

namespace kelvane {
namespace {

constexpr const char* kSpoolPrefix = "records-";
constexpr const char* kSpoolBesideOutputPrefix = ".kelvane-spool-";
constexpr const char* kArchivesFolderName = "archives";
constexpr const char* kSpareFilesFolderName = "spare";

// Where the records are spooled. Beside an output file, so that the spool itself,
// with the header put in front, becomes the database, never copied; the spool's
// failures are then the output's. Otherwise (a stream) in the working area, where it
// is named as itself.
struct SpoolPlace {
  OwnFolder folder;
  const char* prefix;
  std::string shownAs;
  bool besideOutput = false;
};

SpoolPlace SpoolPlaceFor(const std::string& outputPath, const OwnFolder& runFolder) {
  if (KindOfOutput(outputPath) != OutputKind::kFile) {
    return {runFolder, kSpoolPrefix, ""};
  }
  try {
    return {OwnFolder::Open(FolderOfOutputFile(outputPath)), kSpoolBesideOutputPrefix, outputPath, true};
  } catch (const FileError& error) {
    throw FileError(error.failure(), outputPath);
  }
}

enum class ArchiveResult { kDone, kTooManyRaces, kStopped };

// The records of a run's archives, spooled to the database in list order.
class Run {
 public:
  Run(Env& env, const SpoolPlace& spool)
      : env_(env),
        db_(PalmDatabase::CreateDefault(CurrentPalmTime(env.Now())), spool.folder, spool.prefix, spool.shownAs),
        spooledBesideOutput_(spool.besideOutput) {}

  // The races of one archive, in card order, with what reading them showed: first
  // those read ahead, then the rest read now. An archive whose races would take the
  // database past the records it can count adds none of them, and ends the run.
  ArchiveResult AddArchive(ArchivesAhead::Archive& archive, MessageSink& messages) {
    if (TooManyRaces(archive, kMaxRecords - db_.RecordCount())) return ArchiveResult::kTooManyRaces;
    for (RaceAhead& race : archive.races) {
      if (env_.StopRequested()) return ArchiveResult::kStopped;
      for (const Message& message : race.messages) messages.ShowMessage(message);
      if (race.record && !db_.AddRecord(*race.record)) return ArchiveResult::kTooManyRaces;
    }
    while (archive.rest && !archive.rest->AtEnd()) {
      if (env_.StopRequested()) return ArchiveResult::kStopped;
      if (archive.rest->ReadNext(messages, record_) && !db_.AddRecord(record_)) return ArchiveResult::kTooManyRaces;
    }
    return ArchiveResult::kDone;
  }

  // Writes the database to `path`, asking `stop` as it does.
  void WriteDatabase(const std::string& path, const StopCheck& stop) {
    if (spooledBesideOutput_) {
      db_.PutInPlace(path, stop);
    } else {
      db_.Write(path, stop);
    }
  }

  std::size_t RecordCount() const { return db_.RecordCount(); }

  // Whether the database is put in place, its header's room made in front of its
  // records: only then is the number of races to come of use ahead.
  bool PutsDatabaseInPlace() const { return spooledBesideOutput_; }

  // Told how many races the archives not yet added will add: a database put in place
  // makes the room for its header now, while they are worked on, rather than after.
  void ExpectRaces(std::size_t racesToCome) {
    const std::size_t count = db_.RecordCount() + racesToCome;
    if (count <= kMaxRecords) db_.MakeRoomFor(count);
  }

 private:
  // Whether more races of `archive` read than `room` takes.
  static bool TooManyRaces(const ArchivesAhead::Archive& archive, std::size_t room) {
    const std::size_t built = RacesBuilt(archive.races);
    if (built > room) return true;
    return archive.rest && archive.rest->ReadableRacesLeft(room - built) > room - built;
  }

  Env& env_;
  SpooledDatabase db_;
  const bool spooledBesideOutput_;
  Bytes record_;  // each race read now is built into this one
};

ConversionOutcome NotWritten(Env& env, const std::string& text) {
  env.ShowFileError(text);
  return {};
}

ConversionOutcome Stopped() { return {.stopped = true}; }

// The archives in list order, each unpacked and its races built while the ones
// before it are added; each archive's files go as soon as its races are added.
ConversionOutcome Convert(const ConversionRequest& request, Env& env, const WorkingArea& area) {
  Run run(env, SpoolPlaceFor(request.outputPath, area.folder()));
  const OwnFolder archivesFolder = area.folder().MakeFolder(kArchivesFolderName);
  SpareFiles spares(area.folder().MakeFolder(kSpareFilesFolderName));
  const auto folderNames = WorkingFolderNames(request.archives);
  ArchivesAhead ahead(request.archives, folderNames, archivesFolder, spares, request.alarm,
                      request.unpackThreads > 0 ? request.unpackThreads : DefaultUnpackThreads());
  std::function<void(std::size_t)> expectRaces;
  if (run.PutsDatabaseInPlace()) expectRaces = [&run](std::size_t races) { run.ExpectRaces(races); };
  for (std::size_t i = 0; i < request.archives.size(); ++i) {
    if (env.StopRequested()) return Stopped();
    env.ShowProgress(i, request.archives.size(), request.archives[i]);
    PlacingSink messages(env, {.archive = request.archives[i]});
    ArchivesAhead::Archive archive = ahead.Take(i, expectRaces);
    for (const Message& message : archive.messages) messages.ShowMessage(message);
    const ArchiveResult result = run.AddArchive(archive, messages);
    // The archive's folder goes once its races are added: it and its files are kept
    // as spares, for the archives after it to be unpacked into and written over.
    spares.KeepFolder(archivesFolder, folderNames[i]);
    if (result == ArchiveResult::kStopped) return Stopped();
    if (result == ArchiveResult::kTooManyRaces) {
      return NotWritten(env, TooManyRacesText(request.outputPath));
    }
  }
  if (env.StopRequested()) return Stopped();
  run.WriteDatabase(request.outputPath, [&env] { return env.StopRequested(); });
  env.OpenWithShell(request.outputPath);
  return {.written = true, .racesWritten = static_cast<int>(run.RecordCount())};
}

}  // namespace

ConversionOutcome RunConversion(const ConversionRequest& request, Env& env) {
  KeepFreedMemoryForReuse();
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
