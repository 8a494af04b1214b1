#include "cli/cli.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/clock.h"
#include "app/conversion_run.h"
#include "app/user_texts.h"
#include "cli/database_dump.h"
#include "jravan/file_contents.h"
#include "kelvane_version.h"
#include "pdb/race_database_reader.h"
#include "platform/desktop_opener.h"
#include "platform/file_checks.h"
#include "platform/interruption.h"

namespace kelvane {
namespace {

constexpr const char* kVersion = "kelvane " KELVANE_VERSION;

constexpr const char* kHelp =
    "Usage:\n"
    "  kelvane convert [--no-alarm] [--work-dir DIR] [--open] -o OUTPUT.pdb ARCHIVE.lzh...\n"
    "  kelvane dump [--format text|json] FILE.pdb\n"
    "  kelvane --help | --version\n"
    "\n"
    "Turns JRA-VAN race-card archives (.lzh) into one Palm OS database (.pdb) for the\n"
    "Quillmarch viewer: one record per race, with every runner, its horse's pedigree,\n"
    "result tallies, last five runs, running style and estimated odds.\n"
    "\n"
    "convert  Unpacks each archive in the order given (a repeated archive is taken\n"
    "         once), reads its race card and horse register, and writes all races\n"
    "         to OUTPUT. Nothing is unpacked when an archive cannot be read, when\n"
    "         OUTPUT is one of the archives, or when OUTPUT's folder cannot take it.\n"
    "         An existing OUTPUT is replaced only when the new file is written whole;\n"
    "         a link at OUTPUT is written through, a FIFO or device written into.\n"
    "  -o, --output FILE  the database to write; - for standard output\n"
    "  --no-alarm         switch the start alarm off in every race (it is on by default)\n"
    "  --work-dir DIR     unpack in a private folder of this run under DIR/JRA-VAN/\n"
    "                     (default: $XDG_CACHE_HOME/kelvane/ or ~/.cache/kelvane/);\n"
    "                     it is removed when the run ends, whatever the outcome\n"
    "  --open             open the written file with the desktop's default program\n"
    "\n"
    "dump     Shows what the handheld gets from FILE: per race the date, racecourse,\n"
    "         race number, name, track, distance, post time, runners and start alarm;\n"
    "         per runner the frame, number, horse, sex and age, weight carried, jockey,\n"
    "         estimated odds, running style and the places of its last runs (the most\n"
    "         recent first, x for a run without a place; a horse that could not be read\n"
    "         is marked so). A file that is not a race database written by Kelvane is\n"
    "         refused with what is wrong with it.\n"
    "  --format json      every field of every race, runner and past run as one JSON\n"
    "                     document (docs/race-database.schema.json); text is the default\n"
    "\n"
    "Messages go to standard error as they happen, one line each: \"kelvane: \", the\n"
    "archive as named, the race and the runner where there is one, then the text.\n"
    "Exit status of convert: 0 written; 1 written, but some archive, race or horse could\n"
    "not be read (the messages say which); 2 wrong command line; 3 the output was not\n"
    "written; 128 + N ended by signal N (SIGINT, SIGTERM, SIGHUP), with nothing left\n"
    "behind. Of dump: 0 shown; 1 not a race database, or not readable; 2 wrong command\n"
    "line.\n"
    "SOURCE_DATE_EPOCH, when set, must be a whole number of seconds from 1904-01-01 to\n"
    "2040-02-06 and is taken as the current time, so that the same archives give the\n"
    "same bytes.\n";

// Messages go to stderr as they happen, one line each, with where they happened.
class CliEnv : public Env {
 public:
  CliEnv(std::ostream& err, bool open) : err_(err), open_(open) {}

  void ShowMessage(const Message& message) override {
    ++messages_;
    err_ << MessageLine(message) << '\n' << std::flush;
  }
  void ShowFileError(const std::string& text) override { err_ << "kelvane: " << text << '\n'; }
  void OpenWithShell(const std::string& path) override {
    if (open_) OpenWithDesktop(path);
  }
  std::time_t Now() override { return SystemNow(); }
  bool StopRequested() override { return CaughtInterruption() != 0; }

  int messages() const { return messages_; }

 private:
  std::ostream& err_;
  bool open_;
  int messages_ = 0;
};

int UsageError(std::ostream& err, const std::string& what) {
  err << "kelvane: " << what << "\nTry 'kelvane --help'.\n";
  return kExitUsage;
}

// An archive named again is taken once, in its first place, as the window's list does.
void AddArchiveOnce(std::vector<std::string>& archives, const std::string& archive) {
  if (std::find(archives.begin(), archives.end(), archive) == archives.end()) {
    archives.push_back(archive);
  }
}

// What the command line was given, checked before anything is unpacked or written:
// every archive can be read, and none of them is the output. Returns the exit status
// of a refusal, or nothing.
std::optional<int> RefuseArguments(const ConversionRequest& request, std::ostream& err) {
  if (!SourceDateEpochIsUsable()) {
    err << "kelvane: " << kSourceDateEpochName
        << ": not a whole number of seconds from 1904-01-01 to 2040-02-06\n";
    return kExitUsage;
  }
  for (const std::string& archive : request.archives) {
    if (const int error = ErrorReadingFile(archive); error != 0) {
      err << "kelvane: " << archive << ": " << std::strerror(error) << '\n';
      return kExitUsage;
    }
  }
  for (const std::string& archive : request.archives) {
    if (request.outputPath != "-" && SameFile(request.outputPath, archive)) {
      err << "kelvane: " << request.outputPath << ": is the archive " << archive
          << "; the output must be another file\n";
      return kExitUsage;
    }
  }
  return std::nullopt;
}

int Convert(const std::vector<std::string>& args, std::ostream& err) {
  ConversionRequest request;
  bool open = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "-o" || arg == "--output" || arg == "--work-dir";
    if (takesValue && i + 1 >= args.size()) return UsageError(err, arg + " needs a value");
    if (arg == "-o" || arg == "--output") {
      request.outputPath = args[++i];
    } else if (arg == "--work-dir") {
      request.baseFolder = args[++i];
      if (request.baseFolder.empty()) return UsageError(err, "--work-dir needs a folder");
    } else if (arg == "--no-alarm") {
      request.alarm = false;
    } else if (arg == "--open") {
      open = true;
    } else if (arg == "--") {
      for (++i; i < args.size(); ++i) AddArchiveOnce(request.archives, args[i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(err, "unknown option " + arg);
    } else {
      AddArchiveOnce(request.archives, arg);
    }
  }
  if (request.outputPath.empty()) return UsageError(err, "convert needs -o OUTPUT.pdb");
  if (const auto refused = RefuseArguments(request, err)) return *refused;

  CatchInterruptions();
  CliEnv env(err, open && request.outputPath != "-");
  const ConversionOutcome outcome = RunConversion(request, env);
  if (const int signalNumber = CaughtInterruption(); signalNumber != 0 && !outcome.written) {
    return 128 + signalNumber;
  }
  if (!outcome.written) return kExitNotWritten;
  return env.messages() > 0 ? kExitWithMessages : kExitOk;
}

int Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool json = false;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--format") {
      files.push_back(args[i]);
      continue;
    }
    if (i + 1 >= args.size()) return UsageError(err, "--format needs a value");
    const std::string& format = args[++i];
    if (format != "text" && format != "json") return UsageError(err, "unknown format " + format);
    json = format == "json";
  }
  if (files.size() != 1) return UsageError(err, "dump needs one FILE.pdb");
  const std::string& path = files[0];
  const auto text = ReadWholeFile(path);
  if (!text) {
    err << "kelvane: cannot read " << path << '\n';
    return kExitRefused;
  }
  std::string problem;
  const auto db = ReadRaceDatabase(Bytes(text->begin(), text->end()), problem);
  if (!db) {
    err << "kelvane: " << NotARaceDatabaseText(path, problem) << '\n';
    return kExitRefused;
  }
  if (json) {
    PrintRaceDatabaseJson(*db, out);
  } else {
    PrintRaceDatabase(*db, out);
  }
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "no command given");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kHelp;
    return kExitOk;
  }
  if (command == "--version") {
    out << kVersion << '\n';
    return kExitOk;
  }
  if (command == "convert") return Convert(rest, err);
  if (command == "dump") return Dump(rest, out, err);
  return UsageError(err, "unknown command " + command);
}

}  // namespace kelvane
