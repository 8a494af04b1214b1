#include "cli/cli.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <set>

#include "app/clock.h"
#include "app/conversion_run.h"
#include "app/user_texts.h"
#include "cli/database_dump.h"
#include "jravan/file_contents.h"
#include "kelvane_version.h"
#include "pdb/race_database_reader.h"
#include "platform/desktop_opener.h"
#include "platform/file_checks.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/interruption.h"
#include "platform/standard_streams.h"

namespace kelvane {
namespace {

constexpr const char* kVersion = "kelvane " KELVANE_VERSION;

constexpr const char* kHelp =
    "Usage:\n"
    "  kelvane convert [--no-alarm] [--work-dir DIR] [--threads N] [--open] -o OUTPUT.pdb\n"
    "                  ARCHIVE.lzh...\n"
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
    "         An archive that does not unpack, or a race or horse that does not read,\n"
    "         costs only itself. What the machine fails (no space, a size limit, too\n"
    "         many open files, no memory, an I/O error, a working area that others\n"
    "         can change) ends the run: the message names the place, OUTPUT stays as\n"
    "         it was and nothing is left in the working area.\n"
    "  -o, --output FILE  the database to write; - for standard output\n"
    "  --no-alarm         switch the start alarm off in every race (it is on by default)\n"
    "  --work-dir DIR     unpack in a private folder of this run under DIR/JRA-VAN/\n"
    "                     (default: $XDG_CACHE_HOME/kelvane/ or ~/.cache/kelvane/);\n"
    "                     it is removed when the run ends, whatever the outcome\n"
    "  --threads N        work on N archives at once (1 to 64; default: one per core)\n"
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
    "                     document (text is the default), as the schema\n"
    "                     /usr/share/kelvane/race-database.schema.json describes it\n"
    "\n"
    "Options that take a value take it as the next argument or after '=' (--output=FILE).\n"
    "Messages go to standard error as they happen, one line each: \"kelvane: \", the\n"
    "archive as named, the race and the runner where there is one, then the text.\n"
    "Control characters and bytes that are not UTF-8 in names are shown escaped (\\n,\n"
    "\\x1b). A write to standard output that fails is an error too.\n"
    "Exit status of convert: 0 written; 1 written, but some archive, race or horse could\n"
    "not be read (the messages say which); 2 wrong command line; 3 the output was not\n"
    "written (a file error, the machine's failure, too many races); 128 + N ended by\n"
    "signal N (SIGINT, SIGTERM, SIGHUP), even while waiting for a FIFO or pipe to be\n"
    "read, with nothing left behind. Of dump: 0 shown; 1 not a race database, not\n"
    "readable, or standard output failed; 2 wrong command line. Of --help and\n"
    "--version: 0, or 1 when standard output failed.\n"
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

// The number `text` spells, from 1 to 64; 0 when it spells none of them.
std::size_t ThreadCount(const std::string& text) {
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), isDigit)) return 0;
  const int count = std::stoi(text);
  return count >= 1 && count <= 64 ? static_cast<std::size_t>(count) : 0;
}

// An archive named again, by whatever spelling or link, is taken once, in its first
// place, as the window's list does. Every archive can be read by now.
std::vector<std::string> EachArchiveOnce(const std::vector<std::string>& named) {
  std::set<FileIdentity> seen;
  std::vector<std::string> archives;
  for (const std::string& archive : named) {
    const auto identity = IdentityOf(archive);
    if (!identity || seen.insert(*identity).second) archives.push_back(archive);
  }
  return archives;
}

// The options of one command, GNU-style: "--name value" or "--name=value" for those
// that take a value, the rest as given; "--" ends the options.
class Options {
 public:
  Options(const std::vector<std::string>& args, std::initializer_list<const char*> takingValues)
      : args_(args), takingValues_(takingValues) {}

  // The next argument: an option with its value, or an operand (name empty). False at
  // the end, or when an option that takes a value has none (`error` says so).
  bool Next(std::string& name, std::string& value, std::string& error) {
    if (next_ >= args_.size()) return false;
    const std::string& arg = args_[next_++];
    value.clear();
    if (operandsOnly_ || arg.size() < 2 || arg[0] != '-') {
      name.clear();
      value = arg;
      return true;
    }
    if (arg == "--") {
      operandsOnly_ = true;
      return Next(name, value, error);
    }
    if (arg.rfind("--", 0) == 0) {
      const auto equals = arg.find('=');
      name = arg.substr(0, equals);
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        if (TakesValue(name)) return true;
        error = EscapedName(name) + " takes no value";
        return false;
      }
    } else if (arg.size() > 2 && TakesValue(arg.substr(0, 2))) {
      name = arg.substr(0, 2);  // "-oFILE"
      value = arg.substr(2);
      return true;
    } else {
      name = arg;
    }
    if (!TakesValue(name)) return true;
    if (next_ >= args_.size()) {
      error = EscapedName(name) + " needs a value";
      return false;
    }
    value = args_[next_++];
    return true;
  }

 private:
  bool TakesValue(const std::string& name) const {
    return std::any_of(takingValues_.begin(), takingValues_.end(), [&](const char* v) { return name == v; });
  }

  const std::vector<std::string>& args_;
  std::vector<const char*> takingValues_;
  std::size_t next_ = 0;
  bool operandsOnly_ = false;
};

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
    if (const auto failure = ErrorReadingFile(archive)) {
      err << "kelvane: " << EscapedName(archive) << ": " << failure->reason() << '\n';
      return kExitUsage;
    }
  }
  for (const std::string& archive : request.archives) {
    if (request.outputPath != "-" && SameFile(request.outputPath, archive)) {
      err << "kelvane: " << EscapedName(request.outputPath) << ": is the archive "
          << EscapedName(archive) << "; the output must be another file\n";
      return kExitUsage;
    }
  }
  return std::nullopt;
}

int Convert(const std::vector<std::string>& args, std::ostream& err) {
  ConversionRequest request;
  bool open = false;
  Options options(args, {"-o", "--output", "--work-dir", "--threads"});
  std::string name;
  std::string value;
  std::string error;
  while (options.Next(name, value, error)) {
    if (name.empty()) {
      request.archives.push_back(value);
    } else if (name == "-o" || name == "--output") {
      request.outputPath = value;
    } else if (name == "--work-dir") {
      request.baseFolder = value;
      if (request.baseFolder.empty()) return UsageError(err, "--work-dir needs a folder");
    } else if (name == "--threads") {
      request.unpackThreads = ThreadCount(value);
      if (request.unpackThreads == 0) return UsageError(err, "--threads needs a number from 1 to 64");
    } else if (name == "--no-alarm") {
      request.alarm = false;
    } else if (name == "--open") {
      open = true;
    } else {
      return UsageError(err, "unknown option " + EscapedName(name));
    }
  }
  if (!error.empty()) return UsageError(err, error);
  if (request.outputPath.empty()) return UsageError(err, "convert needs -o OUTPUT.pdb");
  if (const auto refused = RefuseArguments(request, err)) return *refused;
  request.archives = EachArchiveOnce(request.archives);

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
  Options options(args, {"--format"});
  std::string name;
  std::string value;
  std::string error;
  while (options.Next(name, value, error)) {
    if (name.empty()) {
      files.push_back(value);
    } else if (name == "--format") {
      if (value != "text" && value != "json") return UsageError(err, "unknown format " + EscapedName(value));
      json = value == "json";
    } else {
      return UsageError(err, "unknown option " + EscapedName(name));
    }
  }
  if (!error.empty()) return UsageError(err, error);
  if (files.size() != 1) return UsageError(err, "dump needs one FILE.pdb");
  const std::string& path = files[0];
  const auto text = ReadWholeFile(path);
  if (!text) {
    err << "kelvane: cannot read " << EscapedName(path) << '\n';
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
  return UsageError(err, "unknown command " + EscapedName(command));
}

int FinishStandardOutput(const std::vector<std::string>& args, int status, std::ostream& err) {
  const auto failure = CloseStandardOutput();
  if (!failure) return status;
  const bool converting = !args.empty() && args[0] == "convert";
  if (converting) {
    err << "kelvane: " << FileErrorText(FileError(*failure, kStandardOutputName)) << '\n';
    return kExitNotWritten;
  }
  const std::string reason = failure->reason();
  err << "kelvane: write error" << (reason.empty() ? "" : ": " + reason) << '\n';
  return status == kExitOk ? kExitRefused : status;
}

}  // namespace kelvane
