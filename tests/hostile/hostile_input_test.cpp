// Hostile and broken inputs, one row each, through `kelvane convert` run in-process.
// Every row asserts what the person is told, the exit status, the races and runners
// written (or that the output is as it was), and that nothing appears outside the
// working folders but the output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "codes/cp932.h"
#include "hostile/situations.h"
#include "jravan/race_fields.h"
#include "pdb/race_database_reader.h"
#include "messages/texts.h"
#include "support/jravan_builder.h"
#include "support/lha_writer.h"
#include "support/temp_dir.h"

namespace kelvane::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kCardReadFailed = texts::kRaceNotRead;
const std::string kHorseReadFailed = texts::kHorseNotRead;
const std::string kUnpackFailed = texts::kUnpackFailed;
const std::string kNoRaceCard =
    "このファイルには出馬表データがありません\r\n"
    "出馬表データが含まれている圧縮ファイルをダウンロードしてください";
// File errors name the output path where %out stands, the working area where %work.
const std::string kAccessDenied = "%out へのｱｸｾｽは拒否されました。";
const std::string kDiskFull = "%out へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";
const std::string kDiskFullIn = " へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";
const std::string kTooManyRaces = "レース数が多すぎるため、%out を作成できませんでした。";

// A person's folders: the archives in in/, the working folders under work/, the
// database written as out/races.pdb.
class Sandbox {
 public:
  Sandbox() {
    for (const char* folder : {"in", "out", "work"}) fs::create_directory(root_ / folder);
  }
  std::string root() const { return root_.path(); }
  std::string In(const std::string& name) const { return root_ / ("in/" + name); }
  std::string Output() const { return root_ / "out/races.pdb"; }
  std::string OutputFolder() const { return root_ / "out"; }
  std::string WorkFolder() const { return root_ / "work"; }

  // Writes an archive into in/ and gives its path.
  std::string Archive(const std::string& name, const std::vector<LhaEntry>& entries,
                      LhaMethod method = LhaMethod::kLh5) const {
    WriteFileBytes(In(name), PackLha(entries, method));
    return In(name);
  }
  std::string Archive(const std::string& card, const std::string& horses,
                      LhaMethod method = LhaMethod::kLh5) const {
    return Archive("races.lzh", {{.name = "JracDen1.dat", .data = card},
                                 {.name = "JracUmaj.dat", .data = horses}},
                   method);
  }

 private:
  ScopedTempDir root_;
};

std::string HorseId(int n) { return std::to_string(2000100000 + n); }

// Race `number` whose entries 1..runners are horses 1..runners.
RaceCardLine Race(int number, int runners) {
  RaceCardLine race{.year = 2003, .monthDay = 1228, .racecourseCode = "06", .raceNumber = number,
                    .raceName = "テスト"};
  for (int k = 1; k <= runners; ++k) {
    race.entries.push_back({.horseNumber = k, .horseId = HorseId(k), .jockeyName = "騎手"});
  }
  return race;
}

HorseRecord Horse(int n) {
  return {.key = HorseId(n), .horseName = "ホース" + std::to_string(n), .birthYear = 2000,
          .pastRuns = {{.year = 2003, .racecourseCode = "05", .finishPosition = 2}}};
}

std::string Horses(int count) {
  std::vector<HorseRecord> horses;
  for (int n = 1; n <= count; ++n) horses.push_back(Horse(n));
  return HorseRegisterFile(horses);
}

std::string Line(const RaceCardLine& race) { return RaceCardLineBytes(race) + "\r\n"; }

// 1461 bytes of no text: every byte value but the line ends, in a scrambled order.
std::string BinaryJunk() {
  std::string junk;
  for (int i = 0; junk.size() < kRaceCardLineSize; ++i) {
    const char c = static_cast<char>((i * 73 + 41) & 0xFF);
    if (c != '\n' && c != '\r') junk += c;
  }
  return junk;
}

// A race written: its number and how many runner parts it has.
struct Written {
  int raceNumber;
  int runners;
  bool operator==(const Written&) const = default;
};

void PrintTo(const Written& w, std::ostream* os) {
  *os << "race " << w.raceNumber << " with " << w.runners << " runners";
}

// An old database at the output, and a race of 18 runners: a record of 20,240 bytes,
// larger than the archive's unpacked files.
std::vector<std::string> OneLargeRecordOverAnOldDatabase(const Sandbox& s) {
  WriteFileBytes(s.Output(), "the database of yesterday");
  RaceCardLine race = Race(1, 0);
  for (int k = 1; k <= 18; ++k) race.entries.push_back({.horseNumber = k, .horseId = HorseId(1)});
  return std::vector{s.Archive(Line(race), Horses(1))};
}

struct HostileRow {
  const char* name;
  // Writes the inputs and gives the archives in argument order.
  std::function<std::vector<std::string>(const Sandbox&)> arrange;
  std::vector<std::string> messages;  // in order
  int status;
  // The races of the database written; nothing when the output must stay as it was.
  std::optional<std::vector<Written>> written;
  // Anything more the row has to show, on the database written (when there is one).
  std::function<void(const Sandbox&, const RaceDatabase*)> alsoCheck = nullptr;
  std::function<std::unique_ptr<Situation>(const Sandbox&)> situation = nullptr;
};

const HostileRow kRows[] = {
    {.name = "TruncatedRaceCardLine",
     .arrange = [](const Sandbox& s) {
       const std::string cut = RaceCardLineBytes(Race(2, 3)).substr(0, 400) + "\r\n";
       return std::vector{s.Archive(Line(Race(1, 3)) + cut + Line(Race(3, 3)), Horses(3))};
     },
     .messages = {"%inraces.lzh: race 2 (2003-12-28 中山 2R): " + kCardReadFailed},
     .status = kExitWithMessages,
     .written = {{{1, 3}, {3, 3}}}},

    {.name = "LineOfBinaryJunk",
     .arrange = [](const Sandbox& s) {
       const std::string junk = BinaryJunk() + "\r\n";
       return std::vector{s.Archive(Line(Race(1, 3)) + junk + Line(Race(3, 3)), Horses(3))};
     },
     .messages = {"%inraces.lzh: race 2: " + kCardReadFailed},
     .status = kExitWithMessages,
     .written = {{{1, 3}, {3, 3}}}},

    {.name = "RunnerCountsMinusFiveAndNinetyNine",
     .arrange = [](const Sandbox& s) {
       RaceCardLine negative = Race(1, 3), tooMany = Race(2, 18);
       negative.runnerCount = "-5";
       tooMany.runnerCount = "99";
       return std::vector{s.Archive(Line(negative) + Line(tooMany), Horses(18))};
     },
     .messages = {},
     .status = kExitOk,
     .written = {{{1, 0}, {2, 18}}}},

    {.name = "RaceCardOfOneHundredThousandLines",
     .arrange = [](const Sandbox& s) {
       std::string day;
       for (int number = 1; number <= 12; ++number) day += Line(Race(number, 0));
       std::string card;
       while (card.size() < 100'000 * day.size() / 12) card += day;  // 100,008 lines
       return std::vector{s.Archive(card, Horses(1), LhaMethod::kStored)};
     },
     .messages = {kTooManyRaces},
     .status = kExitNotWritten,
     .written = std::nullopt,
     .alsoCheck = [](const Sandbox& s, const RaceDatabase*) {
       EXPECT_TRUE(fs::is_empty(s.WorkFolder() + "/JRA-VAN")) << "the working files are gone";
     }},

    {.name = "RegisterWhoseLastRecordIsCutShort",
     .arrange = [](const Sandbox& s) {
       const std::string horses = Horses(3);
       return std::vector{s.Archive(Line(Race(1, 3)), horses.substr(0, 2 * 2881 + 1000))};
     },
     .messages = {"%inraces.lzh: race 1 (2003-12-28 中山 1R), entry 3 (horse 2000100003): " +
                  kHorseReadFailed},
     .status = kExitWithMessages,
     .written = {{{1, 3}}},
     .alsoCheck = [](const Sandbox&, const RaceDatabase* db) {
       const auto& runners = db->races.at(0).runners;
       EXPECT_EQ(runners.at(1).horseName, Utf8ToCp932("ホース2"));
       EXPECT_EQ(runners.at(2).horseName, "") << "the cut horse keeps a fresh runner";
       EXPECT_EQ(runners.at(2).pastRunCount, 0);
     }},

    {.name = "NulBytesInsideFields",
     .arrange = [](const Sandbox& s) {
       RaceCardLine race = Race(1, 1);
       race.entries[0].jockeyName = Name::Cp932(Utf8ToCp932("騎手") + "\0\0\0\0"s);
       race.entries[0].weightCarried = Digits("5\0"s + "7");
       HorseRecord horse = Horse(1);
       horse.horseName = Name::Cp932(Utf8ToCp932("ホース") + "\0"s + Utf8ToCp932("一　"));
       return std::vector{s.Archive(Line(race), HorseRegisterFile({horse}))};
     },
     .messages = {},
     .status = kExitOk,
     .written = {{{1, 1}}},
     .alsoCheck = [](const Sandbox&, const RaceDatabase* db) {
       const RunnerPart& runner = db->races.at(0).runners.at(0);
       EXPECT_EQ(runner.jockeyName, Utf8ToCp932("騎手"));
       EXPECT_EQ(runner.weightCarried, 5) << "a number ends at NUL";
       EXPECT_EQ(runner.horseName, "") << "a NUL ends the name before its full-width space";
     }},

    {.name = "RegisterOfZeroBytes",
     .arrange = [](const Sandbox& s) {
       return std::vector{s.Archive(Line(Race(1, 2)) + Line(Race(2, 2)), "")};
     },
     .messages = {"%inraces.lzh: race 1 (2003-12-28 中山 1R), entry 1 (horse 2000100001): " +
                      kHorseReadFailed,
                  "%inraces.lzh: race 2 (2003-12-28 中山 2R), entry 1 (horse 2000100001): " +
                      kHorseReadFailed},
     .status = kExitWithMessages,
     .written = {{{1, 2}, {2, 2}}}},

    {.name = "ArchiveWithTenThousandEntries",
     .arrange = [](const Sandbox& s) {
       std::vector<LhaEntry> entries;
       for (int i = 0; i < 10'000; ++i) {
         entries.push_back({.name = "extra/" + std::to_string(i) + ".dat", .data = "x"});
       }
       entries.push_back({.name = "JracDen1.dat", .data = Line(Race(1, 3))});
       entries.push_back({.name = "JracUmaj.dat", .data = Horses(3)});
       return std::vector{s.Archive("many.lzh", entries, LhaMethod::kStored)};
     },
     .messages = {},
     .status = kExitOk,
     .written = {{{1, 3}}}},

    {.name = "ArchiveWhoseDeclaredSizesExceedTheCap",
     .arrange = [](const Sandbox& s) {
       const std::uint64_t sixHundredMiB = std::uint64_t{600} << 20;
       return std::vector{s.Archive(
           "huge.lzh", {{.name = "JracDen1.dat", .data = "a", .declaredSize = sixHundredMiB},
                        {.name = "JracUmaj.dat", .data = "b", .declaredSize = sixHundredMiB}})};
     },
     .messages = {"%inhuge.lzh: " + kUnpackFailed},
     .status = kExitWithMessages,
     .written = {{}},
     .alsoCheck = [](const Sandbox& s, const RaceDatabase*) {
       EXPECT_TRUE(fs::is_empty(s.WorkFolder() + "/JRA-VAN")) << "nothing was unpacked";
     }},

    {.name = "DirectoryNamedJracDen1",
     .arrange = [](const Sandbox& s) {
       return std::vector{s.Archive("folder.lzh", {{.name = "JracDen1.dat", .kind = LhaKind::kDirectory},
                                                   {.name = "JracUmaj.dat", .data = Horses(1)}})};
     },
     .messages = {"%infolder.lzh: " + kNoRaceCard},
     .status = kExitWithMessages,
     .written = {{}}},

    {.name = "ArchivesNamedDotDotLzhAndDotDotDotLzh",
     .arrange = [](const Sandbox& s) {
       // Files of the person's own, where the stems "." and ".." would point the working
       // folders: the JRA-VAN root and the folder above it.
       fs::create_directory(s.WorkFolder() + "/JRA-VAN");
       WriteFileBytes(s.WorkFolder() + "/JRA-VAN/JracUmaj.dat", "mine");
       WriteFileBytes(s.WorkFolder() + "/JracDen1.dat", "mine too");
       const std::vector<LhaEntry> entries = {{.name = "JracDen1.dat", .data = Line(Race(1, 3))},
                                              {.name = "JracUmaj.dat", .data = Horses(3)}};
       return std::vector{s.Archive("..lzh", entries), s.Archive("...lzh", entries)};
     },
     .messages = {},
     .status = kExitOk,
     .written = {{{1, 3}, {1, 3}}}},

    {.name = "OutputPathThatIsADirectory",
     .arrange = [](const Sandbox& s) {
       fs::create_directory(s.Output());
       return std::vector{s.Archive(Line(Race(1, 3)), Horses(3))};
     },
     .messages = {kAccessDenied},
     .status = kExitNotWritten,
     .written = std::nullopt},

    {.name = "OutputFolderWithoutWritePermission",
     .arrange = [](const Sandbox& s) {
       return std::vector{s.Archive(Line(Race(1, 3)), Horses(3))};
     },
     .messages = {kAccessDenied},
     .status = kExitNotWritten,
     .written = std::nullopt,
     .situation = [](const Sandbox& s) -> std::unique_ptr<Situation> {
       return std::make_unique<ReadOnlyFolder>(s.OutputFolder());
     }},

    {.name = "WriteThatFailsPartWay",
     // The spool takes the record and the database, 88 bytes more, does not.
     .arrange = OneLargeRecordOverAnOldDatabase,
     .messages = {kDiskFull},
     .status = kExitNotWritten,
     .written = std::nullopt,
     .situation = [](const Sandbox&) -> std::unique_ptr<Situation> {
       return std::make_unique<FileSizeLimit>(20'300);
     }},

    // The machine's failures end the run, named where they happened, never as a bad
    // archive: the records are spooled beside the output, so its folder fills first.
    {.name = "OutputFolderFullWhileSpooling",
     .arrange = OneLargeRecordOverAnOldDatabase,
     .messages = {kDiskFull},
     .status = kExitNotWritten,
     .written = std::nullopt,
     .situation = [](const Sandbox&) -> std::unique_ptr<Situation> {
       return std::make_unique<FileSizeLimit>(16 * 1024);
     }},

    {.name = "WorkingAreaFullWhileUnpacking",
     .arrange = [](const Sandbox& s) {
       WriteFileBytes(s.Output(), "the database of yesterday");
       return std::vector{s.Archive(Line(Race(1, 1)), Horses(1)),
                          s.Archive("big.lzh", {{.name = "JracDen1.dat", .data = Line(Race(2, 1))},
                                                {.name = "JracUmaj.dat", .data = Horses(8)}})};
     },
     .messages = {"%work/JRA-VAN/run-*/archives/big/" + kDiskFullIn},
     .status = kExitNotWritten,
     .written = std::nullopt,
     .situation = [](const Sandbox&) -> std::unique_ptr<Situation> {
       return std::make_unique<FileSizeLimit>(16 * 1024);
     }},

    {.name = "WorkingRootThatOthersCanWrite",
     .arrange = [](const Sandbox& s) {
       fs::create_directory(s.WorkFolder() + "/JRA-VAN");
       fs::permissions(s.WorkFolder() + "/JRA-VAN", fs::perms::all);
       return std::vector{s.Archive(Line(Race(1, 1)), Horses(1))};
     },
     .messages = {"%work/JRA-VAN/ はほかのユーザーが変更できるため、作業フォルダとして使えません。"},
     .status = kExitNotWritten,
     .written = std::nullopt},

    // A name is shown escaped: one line of UTF-8, nothing that reaches the terminal.
    {.name = "ArchiveNameWithControlBytes",
     .arrange = [](const Sandbox& s) {
       WriteFileBytes(s.In("a\nb\x1b[2J\xe9.lzh"), "not an archive");
       return std::vector{s.In("a\nb\x1b[2J\xe9.lzh"), s.Archive(Line(Race(1, 1)), Horses(1))};
     },
     .messages = {"%ina\\nb\\x1b[2J\\xe9.lzh: ファイル 'a\\nb\\x1b[2J\\xe9.lzh' は書庫ではありません"},
     .status = kExitWithMessages,
     .written = {{{1, 1}}}},
};

// `text` with "%out" standing for the output, "%in" for the archives' folder and
// "%work" for the working area.
std::string WithOutput(std::string text, const Sandbox& s) {
  if (const auto at = text.find("%out"); at != std::string::npos) text.replace(at, 4, s.Output());
  if (const auto at = text.find("%in"); at != std::string::npos) text.replace(at, 3, s.In(""));
  if (const auto at = text.find("%work"); at != std::string::npos) text.replace(at, 5, s.WorkFolder());
  return text;
}

// `text` with the random part of a run folder's name as "*".
std::string WithoutRunNames(const std::string& text) {
  static const std::regex kRunName("/run-[a-z0-9]{12}/");
  return std::regex_replace(text, kRunName, "/run-*/");
}

// What the command prints for `messages`: a line each, a two-line message on two lines.
std::string Printed(const std::vector<std::string>& messages, const Sandbox& s) {
  std::string printed;
  for (const std::string& message : messages) {
    std::string text = WithOutput(message, s);
    // The second line of a two-line message stands indented under the first.
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n")) {
      text.replace(at, 2, "\n         ");
    }
    printed += "kelvane: " + text + "\n";
  }
  return printed;
}

// Every path under `root`, relative to it, with what is there: a folder, a link, or a
// file's size and a hash of its bytes.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> paths;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string bytes = entry.is_regular_file() ? ReadFileBytes(entry.path()) : "";
    paths[fs::relative(entry.path(), root).string()] =
        entry.is_symlink()     ? "a link"
        : entry.is_directory() ? "a folder"
                               : std::to_string(bytes.size()) + " bytes, hash " +
                                     std::to_string(std::hash<std::string>{}(bytes));
  }
  return paths;
}

// Whether the run may change `path`: the JRA-VAN root, its folders (the working
// folders) and what is inside them, or the output.
bool MayChange(const Sandbox& s, const std::string& path, const std::string& state) {
  const std::string root = "work/JRA-VAN";
  if (path == root || s.root() + path == s.Output()) return true;
  if (!path.starts_with(root + "/")) return false;
  return path.find('/', root.size() + 1) != std::string::npos || state == "a folder";
}

// The output path's state: what kind of thing is there, and its bytes.
std::string OutputState(const std::string& path) {
  if (fs::is_directory(path)) return "a folder";
  if (!fs::exists(path)) return "nothing";
  return "a file of " + ReadFileBytes(path);
}

std::vector<Written> RacesOf(const RaceDatabase& db) {
  std::vector<Written> races;
  for (const RaceRecord& record : db.races) {
    races.push_back({record.race.raceNumber, static_cast<int>(record.runners.size())});
  }
  return races;
}

class HostileInput : public ::testing::TestWithParam<HostileRow> {};

TEST_P(HostileInput, IsToldExitsAndWritesAsItShouldAndNothingElse) {
  const HostileRow& row = GetParam();
  const Sandbox s;
  std::vector<std::string> args{"convert", "--work-dir", s.WorkFolder(), "-o", s.Output()};
  for (const std::string& archive : row.arrange(s)) args.push_back(archive);
  const auto before = Snapshot(s.root());
  const std::string outputBefore = OutputState(s.Output());

  CliRun run;
  {
    const auto situation = row.situation ? row.situation(s) : nullptr;
    if (situation && !situation->WhyNot().empty()) GTEST_SKIP() << situation->WhyNot();
    run = RunKelvane(args);
  }

  EXPECT_EQ(WithoutRunNames(run.err), Printed(row.messages, s));
  EXPECT_EQ(run.status, row.status);
  std::optional<RaceDatabase> db;
  if (row.written) {
    const std::string file = ReadFileBytes(s.Output());
    std::string problem;
    db = ReadRaceDatabase(Bytes(file.begin(), file.end()), problem);
    ASSERT_TRUE(db) << problem;
    EXPECT_EQ(RacesOf(*db), *row.written);
  } else {
    EXPECT_EQ(OutputState(s.Output()), outputBefore) << "the output stays as it was";
  }
  const auto after = Snapshot(s.root());
  for (const auto& [path, state] : after) {
    EXPECT_TRUE(before.count(path) == 1 || MayChange(s, path, state))
        << path << " appeared outside the working folders";
  }
  for (const auto& [path, state] : before) {
    if (MayChange(s, path, state)) continue;
    EXPECT_EQ(after.count(path) == 1 ? after.at(path) : "nothing", state)
        << path << " outside the working folders changed";
  }
  for (const auto& [path, state] : after) {
    EXPECT_TRUE(!path.starts_with("work/JRA-VAN/") || before.count(path) == 1) << path << " was left behind";
  }
  if (row.alsoCheck) row.alsoCheck(s, db ? &*db : nullptr);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileInput, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvane::test
