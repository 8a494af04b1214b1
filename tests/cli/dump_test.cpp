#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_run.h"
#include "codes/cp932.h"
#include "pdb/race_record.h"
#include "support/in_memory_database.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::CliRun;
using test::RunKelvane;
using test::ScopedTempDir;

// A database of one race with two runners, as the conversion writes it; with
// `unreadHorse`, the horse of the second could not be read. The race and the first
// runner's past runs have the race type codes `raceTypes`, the race's first.
std::string OneRaceDatabase(bool unreadHorse = false, const std::vector<int>& raceTypes = {}) {
  Race race;
  race.year = 2003;
  race.monthDay = 1228;
  race.racecourseCode = "06";
  race.raceNumber = 11;
  race.raceName = Utf8ToCp932("ウインターカップ");
  race.gradeCode = "C";
  race.trackCode = 17;
  race.distance = 2500;
  race.postTime = 1525;
  race.runnerCount = 2;
  std::vector<Runner> runners(2);
  for (int k = 1; k <= 2; ++k) {
    race.frameNumbers[k] = k;
    race.horseNumbers[k] = k;
    race.sexCodes[k] = k;
    race.weightsCarried[k] = 570 - 15 * k;
    race.jockeyNames[k] = Utf8ToCp932(k == 1 ? "青木　　" : "石川敬介");
    Runner& runner = runners[k - 1];
    runner.horseName = Utf8ToCp932(k == 1 ? "サクラウインド" : "ミラクルローズ");
    runner.age = 2 + k;
    runner.estimatedOdds = k == 1 ? 27 : 1234;
    runner.runningStyle = k == 1 ? 2 : 4;
    runner.pastRunCount = static_cast<std::uint16_t>(k == 1 ? 3 : 0);
  }
  for (int m = 0; m < 3; ++m) runners[0].pastRuns[m].finishPosition = std::array{1, 0, 12}[m];
  for (std::size_t i = 0; i < raceTypes.size(); ++i) {
    (i == 0 ? race.raceTypeCode : runners[0].pastRuns[i - 1].raceTypeCode) = raceTypes[i];
  }
  if (unreadHorse) {
    runners[1] = Runner{};
    runners[1].estimatedOdds = 22156;
  }

  Bytes record;
  AppendRacePart(record, race, true);
  for (int k = 1; k <= 2; ++k) AppendRunnerPart(record, race, k, runners[k - 1]);
  test::InMemoryDatabase db(CurrentPalmTime(1700000000));
  db.AddRecord(record);
  const Bytes file = db.Serialize();
  return std::string(file.begin(), file.end());
}

// Dumps a file holding `fileBytes`; its folder is left out of the messages.
CliRun Dump(const std::string& fileBytes, const std::string& format = "text") {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "races.pdb", fileBytes);
  CliRun run = RunKelvane({"dump", "--format", format, dir / "races.pdb"});
  if (const auto at = run.err.find(dir.path()); at != std::string::npos) {
    run.err.replace(at, dir.path().size(), "");
  }
  return run;
}

TEST(Dump, ShowsEveryRaceAndRunnerReadably) {
  const CliRun run = Dump(OneRaceDatabase());
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "tzQm_DB: 1 race, created 2023-11-14 22:13:20\n"
            "\n"
            "2003-12-28 中山 11R ウインターカップ (G3)  芝　右回り 2500m  15:25  2 runners  alarm on\n"
            "  1  1 サクラウインド     牡3  55.5  青木         2.7  先 1-x-12\n"
            "  2  2 ミラクルローズ     牝4  54.0  石川敬介   123.4  追\n");
}

TEST(Dump, MarksARunnerWhoseHorseCouldNotBeRead) {
  const CliRun run = Dump(OneRaceDatabase(true));
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_NE(run.out.find("\n  2  2 (horse not read)        54.0  石川敬介\n"), std::string::npos)
      << run.out;
}

TEST(Dump, JsonHoldsEveryFieldWithTheTextsOfItsIndexesAndMarksWhatWasNotRead) {
  const CliRun run = Dump(OneRaceDatabase(true), "json");
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Dump(OneRaceDatabase(true), "json").out, run.out);  // the same bytes again
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["type"], "Data");
  EXPECT_EQ(json["version"], 2);
  EXPECT_EQ(json["creationDate"]["iso8601"], "2023-11-14T22:13:20");
  EXPECT_EQ(json["creationDate"]["palmSeconds"], 1700000000u + 2082844800u);
  const auto& race = json["races"].at(0);
  EXPECT_EQ(race["racecourseIndex"], 6);
  EXPECT_EQ(race["racecourse"], "中山");
  EXPECT_EQ(race["grade"], "G3");
  EXPECT_EQ(race["distance"], 2500);
  EXPECT_EQ(race["raceName"], "ウインターカップ");
  const auto& read = race["runners"].at(0);
  EXPECT_EQ(read["horseRead"], true);
  EXPECT_EQ(read["horseName"], "サクラウインド");
  EXPECT_EQ(read["estimatedOdds"], 27);
  EXPECT_EQ(read["resultCounts"].size(), 24u);
  ASSERT_EQ(read["pastRuns"].size(), 5u);
  EXPECT_EQ(read["pastRuns"][2]["read"], true);
  EXPECT_EQ(read["pastRuns"][2]["finishPosition"], 12);
  EXPECT_EQ(read["pastRuns"][3]["read"], false);
  EXPECT_EQ(read["pastRuns"][0]["margin"], " 不明");
  EXPECT_EQ(race["runners"].at(1)["horseRead"], false);
}

TEST(Dump, JsonNamesTheRaceTypeOfTheRaceAndOfEachPastRunByItsCode) {
  const std::pair<int, std::string> types[] = {
      {13, "ｻﾗ３歳上"}, {11, "ｻﾗ２歳"}, {14, "ｻﾗ４歳上"}, {18, "ｻﾗ障害３歳上"}, {24, "ｱﾗ４歳上"}, {10, ""},
  };
  std::vector<int> codes;
  for (const auto& [code, text] : types) codes.push_back(code);
  const auto json = nlohmann::json::parse(Dump(OneRaceDatabase(false, codes), "json").out);
  const auto& race = json["races"].at(0);
  EXPECT_EQ(race["raceType"], types[0].second);
  const auto& runs = race["runners"].at(0)["pastRuns"];
  for (std::size_t m = 0; m + 1 < std::size(types); ++m) {
    EXPECT_EQ(runs[m]["raceTypeCode"], types[m + 1].first);
    EXPECT_EQ(runs[m]["raceType"], types[m + 1].second) << "past run " << m;
  }
}

std::string Corrupted(std::size_t at, std::string_view bytes) {
  std::string file = OneRaceDatabase();
  file.replace(at, bytes.size(), bytes);
  return file;
}

std::string Truncated(std::size_t size) { return OneRaceDatabase().substr(0, size); }

// The database with a second record entry; both entries get the offset `offset`.
std::string TwoRecordsAt(std::string_view offset) {
  std::string file = OneRaceDatabase();
  file[77] = 2;
  file.insert(86, std::string(8, '\0'));
  file.replace(78, 4, offset);
  file.replace(86, 4, offset);
  return file;
}

TEST(Dump, RefusesWhatIsNotARaceDatabaseSayingWhatIsWrong) {
  const std::string prefix = "kelvane: races.pdb is not a race database written by Kelvane: ";
  const std::string full = OneRaceDatabase();
  ASSERT_EQ(full.size(), 88u + 152 + 2 * 1116 + 1);
  const std::pair<std::string, std::string> cases[] = {
      {Truncated(40), "too short: 40 bytes, but the header alone takes 78"},
      {Truncated(85), "too short: 85 bytes, but its record list ends at byte 88"},
      {Corrupted(60, "TEXt"),
       R"(wrong type or creator: "TEXt" and "tzQm" instead of "Data" and "tzQm")"},
      {Corrupted(64, std::string_view("tz\0\x81", 4)),
       R"(wrong type or creator: "Data" and "tz\x00\x81" instead of "Data" and "tzQm")"},
      {Corrupted(78, std::string_view("\0\0\0\x32", 4)),
       "record offsets out of order: record 1 starts at byte 50, inside the record list, "
       "which ends at byte 88"},
      {Corrupted(78, std::string_view("\0\0\x13\x88", 4)),
       "record offsets out of order: record 1 starts at byte 5000, past the end of the file "
       "(2473 bytes)"},
      {TwoRecordsAt(std::string_view("\0\0\0\x61", 4)),
       "record offsets out of order: record 2 starts at byte 97, not after record 1 at byte 97"},
      {Truncated(full.size() - 100),
       "record 1 is 2284 bytes long, but its runner count 2 needs 152 + 1116 x 2 = 2384"},
      {Corrupted(88 + kRunCountAt, "\x03"),
       "record 1 is 2384 bytes long, but its runner count 3 needs 152 + 1116 x 3 = 3500"},
      {Truncated(88 + 100 + 1), "record 1 is 100 bytes long, shorter than the 152-byte race part"},
  };
  for (const auto& [file, problem] : cases) {
    for (const char* format : {"text", "json"}) {
      const CliRun run = Dump(file, format);
      EXPECT_EQ(run.status, kExitRefused) << problem;
      EXPECT_EQ(run.err, prefix + problem + "\n");
      EXPECT_EQ(run.out, "");
    }
  }
}

TEST(Dump, MissingFileOrArgumentIsRefused) {
  const CliRun missing = RunKelvane({"dump", "/no/such/races.pdb"});
  EXPECT_EQ(missing.status, kExitRefused);
  EXPECT_EQ(missing.err, "kelvane: cannot read /no/such/races.pdb\n");
  EXPECT_EQ(RunKelvane({"dump"}).status, kExitUsage);
  EXPECT_EQ(RunKelvane({"dump", "a.pdb", "b.pdb"}).status, kExitUsage);
  EXPECT_EQ(RunKelvane({"dump", "--format", "xml", "a.pdb"}).status, kExitUsage);
  EXPECT_EQ(RunKelvane({"dump", "a.pdb", "--format"}).status, kExitUsage);
}

}  // namespace
}  // namespace kelvane
