// The content tool, run as authors run it: dump, build and check on real
// and crafted files, and its command line.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tov/commands.h"
#include "data_file/io_file.h"
#include "data_file/play_check.h"
#include "support/test_support.h"

extern char** environ;

namespace {

using test_support::ReadFile;

using json = nlohmann::ordered_json;
using test_support::TempDir;

const std::string kCoreData = std::string(OSSIVAR_SOURCE_DIR) + "/data/Core Data.tov";

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct run_result {
  int status = -1;
  std::string out;
  std::string err;
};

// The tool's commands, run in this process.
run_result Tov(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  run_result result;
  result.status = commands::Run(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The built tool itself, with its output captured in files of `dir`.
run_result TovBinary(const TempDir& dir, std::vector<std::string> words) {
  const std::string out_path = dir.path() + "/.stdout";
  const std::string err_path = dir.path() + "/.stderr";
  words.insert(words.begin(), OSSIVAR_TOV);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  run_result result;
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  return result;
}

// Data files differ from one day to the next in their three date bytes.
void ExpectSameButDate(const std::string& expected, const std::string& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  ASSERT_GE(expected.size(), 10u);
  EXPECT_EQ(expected.substr(0, 7), actual.substr(0, 7));
  for (std::size_t i = 10; i < expected.size(); ++i) {
    ASSERT_EQ(expected[i], actual[i]) << "first difference at byte " << i;
  }
}

// ---- Data files assembled byte by byte ----

std::string U16(unsigned value) { return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)}; }
std::string U32(unsigned value) { return U16(value & 0xFFFF) + U16(value >> 16); }
std::string P8(const std::string& text) { return static_cast<char>(text.size()) + text; }
std::string P16(const std::string& text) { return U16(static_cast<unsigned>(text.size())) + text; }
std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

std::string Header(const std::string& title = "T", const std::string& author = "A",
                   const std::string& description = "D") {
  const std::string strings = P8(title) + P8(author) + P8(description);
  return std::string("iTOV") + '\0' + '\0' + '\4' + '\x1A' + '\x0C' + '\x06' +
         U16(static_cast<unsigned>(12 + strings.size())) + strings;
}

std::string RaceRec(unsigned id, const std::string& name, int playable = 1, int virtue = 3, int vice = 2) {
  const std::string body = U32(id) + P8(name) + P16("Folk.") + static_cast<char>(playable) +
                           static_cast<char>(virtue) + static_cast<char>(vice) + U16(256) + Zeros(16);
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string CareerRec(unsigned id, const std::string& name) {
  const std::string body = U32(id) + P8(name) + P16("Work.") + '\1' + Zeros(18);
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string ActorRec(unsigned id, const std::string& name, unsigned race_id, unsigned career_id, int virtue = 0,
                     int vice = 0) {
  const std::string body = U32(id) + P8(name) + '\0' + '\0' + U32(race_id) + U32(career_id) +
                           static_cast<char>(virtue) + static_cast<char>(vice) + Zeros(60) +
                           std::string(7, '\x80');
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string PartyRec(unsigned id, const std::string& name, bool shared, const std::vector<unsigned>& members) {
  std::string bytes = U32(static_cast<unsigned>(11 + name.size() + 4 * members.size())) + U32(id) + P8(name) +
                      static_cast<char>(shared) + static_cast<char>(members.size());
  for (unsigned m : members) bytes += U32(m);
  return bytes;
}

// A small sound world: one playable race and career, the hero's party and
// one enemy party. Tests spoil one thing and look for its diagnosis.
struct crafted {
  std::string header = Header();
  std::vector<std::string> races{RaceRec(0, "Elf")};
  std::vector<std::string> careers{CareerRec(0, "Smith")};
  std::vector<std::string> actors{ActorRec(0, "Hero", 0, 0), ActorRec(1, "Gob", 0, 0)};
  std::vector<std::string> parties{PartyRec(0, "Us", true, {0}), PartyRec(1, "Them", false, {1})};

  static std::string Section(const char* tag, const std::vector<std::string>& records, bool party) {
    if (records.empty()) return "";
    std::string body;
    unsigned length = 8;
    for (const std::string& r : records) {
      body += r;
      length += static_cast<unsigned>(r.size()) - (party ? 0 : 2);
    }
    return tag + U32(length) + U16(static_cast<unsigned>(records.size())) + body;
  }
  std::string Races() const { return Section("RACE", races, false); }
  std::string Careers() const { return Section("CARR", careers, false); }
  std::string Actors() const { return Section("ACTR", actors, false); }
  std::string Parties() const { return Section("PART", parties, true); }
  std::string Bytes() const { return header + Races() + Careers() + Actors() + Parties(); }

  // Offsets of the sections and of the first record in each.
  std::size_t RaceSection() const { return header.size(); }
  std::size_t CareerSection() const { return RaceSection() + Races().size(); }
  std::size_t ActorSection() const { return CareerSection() + Careers().size(); }
  std::size_t PartySection() const { return ActorSection() + Actors().size(); }
  std::size_t Actor(std::size_t i) const {
    std::size_t at = ActorSection() + 10;
    for (std::size_t k = 0; k < i; ++k) at += actors[k].size();
    return at;
  }
  std::size_t Party(std::size_t i) const {
    std::size_t at = PartySection() + 10;
    for (std::size_t k = 0; k < i; ++k) at += parties[k].size();
    return at;
  }
};

class TovTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.path() + "/" + name; }

  // Writes bytes as a .tov file and checks it.
  run_result CheckBytes(const std::string& bytes) {
    WriteFile(Path("crafted.tov"), bytes);
    return Tov({"check", Path("crafted.tov")});
  }
  run_result CheckJson(const json& document) {
    WriteFile(Path("crafted.json"), document.dump(2));
    return Tov({"check", Path("crafted.json")});
  }
  // The crafted world as the JSON an author would start from.
  json SoundJson() {
    WriteFile(Path("sound.tov"), crafted().Bytes());
    const run_result dumped = Tov({"dump", Path("sound.tov")});
    EXPECT_EQ(dumped.status, 0) << dumped.err;
    return json::parse(dumped.out);
  }

  // One diagnosis line for .tov: the file, the place, then what.
  static void ExpectLine(const run_result& r, const std::string& place, const std::string& what) {
    const std::string needle = place + ": " + what;
    EXPECT_NE(r.out.find(needle), std::string::npos) << "wanted: " << needle << "\ngot:\n" << r.out;
  }

  TempDir dir_;
};

// ---- Round trips ----

TEST_F(TovTest, ContentFileDumpsAndBuildsBackToTheSameBytesButTheDate) {
  const run_result dumped = Tov({"dump", kCoreData});
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  EXPECT_EQ(dumped.err, "");
  WriteFile(Path("core.json"), dumped.out);
  const run_result built = Tov({"build", Path("core.json"), "-o", Path("again.tov")});
  ASSERT_EQ(built.status, 0) << built.err;
  ExpectSameButDate(ReadFile(kCoreData), ReadFile(Path("again.tov")));

  const json document = json::parse(dumped.out);
  const json& goblin = document["actors"][4];
  EXPECT_EQ(goblin["race"], "Goblin");
  EXPECT_EQ(goblin["career"], "Goblin Warrior");
  EXPECT_EQ(document["races"][7]["modifiers"]["wisdom"], (json{{"raw", 128}, {"points", 0.5}}));
  EXPECT_EQ(document["parties"][0]["members"][3], (json{{"id", 3}, {"name", "Janet"}}));
}

TEST_F(TovTest, SaveAfterANewGameDumpsAndBuildsBackToTheSameBytesButTheDate) {
  ASSERT_TRUE(dir_.CopyCoreData());
  const std::filesystem::path back = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  {
    tov_file file("Core Data");
    actor& hero = file.actors.emplace_back();
    hero.name = pstr<unsigned char>("Wren");
    hero.female = true;
    hero.PickRace(&file.races[5]);
    hero.PickCareer(&file.careers[10]);
    hero.virtue = aspects::FindVirtue(4);
    hero.vice = aspects::FindVice(1);
    hero.PickVirtueVice(hero.virtue, hero.vice);
    hero.Restore();
    party& player = file.parties[0];
    player.members[0] = &hero;
    for (actor** m = player.Begin(); m != player.End(); ++m) (*m)->player_controlled = true;
    file.RenameFile("save01", false);
    EXPECT_TRUE(file.Write(true)) << file.write_error;
  }
  std::filesystem::current_path(back);
  const std::string save = Path("data/save01.tov");

  const run_result checked = Tov({"check", save});
  EXPECT_EQ(checked.status, 0) << checked.out;
  const run_result dumped = Tov({"dump", save});
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  const json document = json::parse(dumped.out);
  EXPECT_EQ(document["parties"][0]["members"][0], (json{{"id", 6}, {"name", "Wren"}}));
  EXPECT_EQ(document["actors"][6]["race"], "Kiipeto");
  EXPECT_EQ(document["actors"][6]["virtue"], "Chastity");
  EXPECT_EQ(document["actors"][1]["player_controlled"], true);

  WriteFile(Path("save.json"), dumped.out);
  const run_result built = Tov({"build", Path("save.json"), "-o", Path("again.tov")});
  ASSERT_EQ(built.status, 0) << built.err;
  ExpectSameButDate(ReadFile(save), ReadFile(Path("again.tov")));
}

TEST_F(TovTest, AuthorsMayWritePointsAspectNamesAndReferencesByName) {
  json document = SoundJson();
  json& race = document["races"][0];
  race["modifiers"]["strength"] = 1.5;
  race["modifiers"]["wisdom"] = json{{"raw", 64}};
  race["virtue"] = "PATIENCE";
  json& gob = document["actors"][1];
  gob.erase("race_id");
  gob["race"] = "Elf";
  document["parties"][1]["members"] = json::array({json{{"name", "Gob"}}, 0});
  for (const char* key : {"id", "playable"}) race.erase(key);
  race["playable"] = true;
  WriteFile(Path("authored.json"), document.dump());
  const run_result built = Tov({"build", Path("authored.json"), "-o", Path("authored.tov")});
  ASSERT_EQ(built.status, 0) << built.err;

  const json back = json::parse(Tov({"dump", Path("authored.tov")}).out);
  EXPECT_EQ(back["races"][0]["modifiers"]["strength"], (json{{"raw", 384}, {"points", 1.5}}));
  EXPECT_EQ(back["races"][0]["modifiers"]["wisdom"], (json{{"raw", 64}, {"points", 0.25}}));
  EXPECT_EQ(back["races"][0]["virtue"], "Patience");
  EXPECT_EQ(back["actors"][1]["race_id"], 0);
  EXPECT_EQ(back["parties"][1]["members"], json::parse(R"([{"id": 1, "name": "Gob"}, {"id": 0, "name": "Hero"}])"));
}

TEST_F(TovTest, TextsKeepEveryByteThroughJson) {
  crafted world;
  world.actors[0] = ActorRec(0, std::string("Zo\xEB\x01", 4), 0, 0);
  WriteFile(Path("bytes.tov"), world.Bytes());
  const run_result dumped = Tov({"dump", Path("bytes.tov")});
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  EXPECT_EQ(json::parse(dumped.out)["actors"][0]["name"], "Zo\u00EB\u0001");
  WriteFile(Path("bytes.json"), dumped.out);
  ASSERT_EQ(Tov({"build", Path("bytes.json"), "-o", Path("again.tov")}).status, 0);
  ExpectSameButDate(world.Bytes(), ReadFile(Path("again.tov")));
}

// ---- check on .tov files ----

TEST_F(TovTest, CraftedWorldIsSound) {
  const run_result r = CheckBytes(crafted().Bytes());
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, Path("crafted.tov") + ": sound\n");
}

TEST_F(TovTest, CheckRejectsWrongMagicVersionAndShortHeaders) {
  std::string bytes = crafted().Bytes();
  bytes[0] = 'I';
  run_result r = CheckBytes(bytes);
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte 0", "not a data file: it begins with \"ITOV\"");

  bytes = crafted().Bytes();
  bytes[4] = 1;
  r = CheckBytes(bytes);
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte 4", "format version bytes 01 00 04 are not this game's");

  bytes = crafted().Bytes();
  bytes[5] = 7;  // only the first version byte matters to the game
  EXPECT_EQ(CheckBytes(bytes).status, 0);

  r = CheckBytes(crafted().header.substr(0, 13));
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte 13", "the header is cut short: the file ends in its title");

  r = CheckBytes("");
  ExpectLine(r, "byte 0", "the file is empty");
  EXPECT_EQ(r.status, 1);
}

TEST_F(TovTest, CheckFindsCutShortRecordsAndSections) {
  const crafted world;
  const std::string bytes = world.Bytes();
  run_result r = CheckBytes(bytes.substr(0, world.Actor(1) + 18));
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte " + std::to_string(world.Actor(1)) + ", actors[1]",
             "the actor record is cut short: the file ends in its career_id");

  r = CheckBytes(bytes.substr(0, world.PartySection() + 7));
  ExpectLine(r, "byte " + std::to_string(world.PartySection()) + ", PART section",
             "the section header is cut short");

  r = CheckBytes(bytes + "PA");
  ExpectLine(r, "byte " + std::to_string(bytes.size()), "2 stray bytes at the end");
}

TEST_F(TovTest, CheckFindsLengthFieldsThatDisagreeWithTheRecords) {
  crafted world;
  world.header[10] = 40;  // the real header is 18 bytes
  run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte 10", "header length field says 40 but the header is 18 bytes long; the game skips the 22");

  world = crafted();
  world.careers[0][0] = static_cast<char>(world.careers[0][0] + 1);
  r = CheckBytes(world.Bytes());
  const std::size_t career = world.CareerSection() + 10;
  ExpectLine(r, "byte " + std::to_string(career) + ", careers[0]", "record size field says 37 but the record makes 36");

  world = crafted();
  std::string bytes = world.Bytes();
  bytes[world.ActorSection() + 4] = 0;
  r = CheckBytes(bytes);
  ExpectLine(r, "byte " + std::to_string(world.ActorSection() + 4) + ", ACTR section",
             "section length field says 0 but its 2 records make");
  EXPECT_EQ(r.status, 1);
}

TEST_F(TovTest, CheckFindsUnknownTagsAndSectionsTheGameReadsWrongly) {
  const crafted world;
  std::string bytes = world.header + world.Races() + world.Careers() + "ITEM" + U32(8) + U16(0) + world.Actors();
  run_result r = CheckBytes(bytes);
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte " + std::to_string(world.ActorSection()), "unknown section tag \"ITEM\"; the game stops reading");

  bytes = world.header + world.Careers() + world.Actors() + world.Races() + world.Parties();
  r = CheckBytes(bytes);
  ExpectLine(r, "byte " + std::to_string(world.header.size() + world.Careers().size()) + ", ACTR section",
             "comes before the RACE section, so the game resolves its actors' races against none");

  bytes = world.Bytes() + world.Races();
  r = CheckBytes(bytes);
  ExpectLine(r, "byte " + std::to_string(world.Bytes().size()) + ", RACE section",
             "a second RACE section: the game throws away the races read before");
}

TEST_F(TovTest, CheckFindsIdentifiersReferencesAndAspectsTheGameWouldMisread) {
  crafted world;
  world.races = {RaceRec(0, "Elf", 1, 9, 2)};
  world.careers = {};
  world.actors = {ActorRec(0, "Hero", 3, 0, 0, 7), ActorRec(5, "Gob", 0, 0)};
  world.parties = {PartyRec(0, "Us", true, {0}), PartyRec(1, "Them", false, {1, 5})};
  const run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  const std::size_t race = world.RaceSection() + 10;
  const std::size_t hero = world.Actor(0);
  const std::size_t them = world.Party(1);
  ExpectLine(r, "byte " + std::to_string(race + 10 + 3 + 5) + ", races[0].virtue",
             "race \"Elf\" has virtue number 9, outside 0 to 6; the game reads it as Humility");
  ExpectLine(r, "byte " + std::to_string(hero + 9 + 4) + ", actors[0].race_id",
             "actor \"Hero\" refers to race 3, which does not exist; the game falls back to race 0 \"Elf\"");
  ExpectLine(r, "byte " + std::to_string(hero + 13 + 4) + ", actors[0].career_id",
             "actor \"Hero\" refers to career 0 but the file has no careers");
  ExpectLine(r, "byte " + std::to_string(hero + 18 + 4) + ", actors[0].vice",
             "actor \"Hero\" has vice number 7, outside 0 to 6; the game reads it as Lust");
  ExpectLine(r, "byte " + std::to_string(world.Actor(1) + 2) + ", actors[1].id",
             "actor \"Gob\" has identifier 5 but is at position 1");
  ExpectLine(r, "byte " + std::to_string(them + 11 + 4) + ", parties[1].members[0]",
             "party \"Them\" member 0 refers to actor 1, which does not exist; the game falls back to actor 0 \"Hero\"");
  // Without careers no one can fight, which the game refuses.
  ExpectLine(r, "byte " + std::to_string(world.Party(0) + 11 + 2) + ", parties[0].members[0]",
             "party \"Us\" member 0 has no race or career to fight with");
  // Actor 5 exists, under the wrong identifier: only that is reported.
  EXPECT_EQ(r.out.find("member 1 refers"), std::string::npos) << r.out;
}

TEST_F(TovTest, CheckFindsPartiesANewGameCannotUse) {
  crafted world;
  std::vector<unsigned> crowd(251, 1);
  world.parties = {PartyRec(0, "Us", true, {}), PartyRec(1, "Horde", false, crowd), PartyRec(2, "Ghosts", false, {})};
  run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "byte " + std::to_string(world.Party(0) + 12) + ", parties[0].member_count",
             "the player's party \"Us\" has no members");
  ExpectLine(r, "byte " + std::to_string(world.Party(1) + 15) + ", parties[1].member_count", "party \"Horde\" has 251 members; at most 250");
  ExpectLine(r, "byte " + std::to_string(world.Party(2) + 16) + ", parties[2].member_count", "enemy party \"Ghosts\" has no members");

  world.parties = {PartyRec(0, "Us", true, {0})};
  r = CheckBytes(world.Bytes());
  ExpectLine(r, "byte " + std::to_string(world.PartySection()) + ", PART section", "there is no enemy party");

  world.parties = {};
  world.races = {RaceRec(0, "Elf", 0)};
  r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "whole file", "there is no player's party: the file has no parties");
  ExpectLine(r, "byte " + std::to_string(world.RaceSection()) + ", RACE section", "no race is playable");

  world = crafted();
  world.parties[1] = PartyRec(1, "Them", false, std::vector<unsigned>(250, 1));
  EXPECT_EQ(CheckBytes(world.Bytes()).status, 0);
}

// The game refuses a file by the same rule check applies, so no cut or
// spoilt byte gets a file past check that the game would turn away.
TEST_F(TovTest, CheckNeverPassesAFileTheGameRefuses) {
  const std::string whole = crafted().Bytes();
  std::filesystem::create_directory(Path("data"));
  const auto game_refuses = [&](const std::string& bytes) {
    WriteFile(Path("data/spoilt.tov"), bytes);
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    const tov_file file("spoilt");
    std::filesystem::current_path(back);
    return !play_check::Problems(file, play_check::use::kNewGame).empty();
  };
  const auto check_passes = [&](const std::string& bytes) {
    WriteFile(Path("spoilt.tov"), bytes);
    return Tov({"check", Path("spoilt.tov")}).status == 0;
  };
  ASSERT_FALSE(game_refuses(whole));
  ASSERT_TRUE(check_passes(whole));
  int refused = 0;
  for (std::size_t n = 0; n < whole.size(); ++n) {
    std::string flipped = whole;
    flipped[n] = static_cast<char>(~flipped[n]);
    std::string zeroed = whole;
    zeroed[n] = '\0';
    for (const std::string& bytes : {whole.substr(0, n), flipped, zeroed}) {
      if (!game_refuses(bytes)) continue;
      ++refused;
      EXPECT_FALSE(check_passes(bytes)) << "the game refuses the file but check passes it: " << n;
    }
  }
  EXPECT_GT(refused, static_cast<int>(whole.size()));
}

// ---- check and build on JSON ----

TEST_F(TovTest, CheckNamesTheJsonPathOfEveryFormProblem) {
  json document = SoundJson();
  document["races"][0]["colour"] = "green";
  document["races"][0].erase("description");
  document["races"][0]["virtue"] = "Valour";
  document["races"][0]["modifiers"]["agility"] = 1.3;
  document["races"][0]["modifiers"]["health"] = json{{"raw", 256}, {"points", 2}};
  document["careers"][0]["name"] = std::string(256, 'x');
  document["actors"][0]["name"] = "\u263A";
  document["actors"][0]["female"] = 1;
  document["actors"][0]["elements"]["fire"] = 300;
  document["actors"][1]["race"] = 5;
  document["parties"][0]["members"] = "Hero";
  document["parties"][1]["members"][0].erase("id");
  document["parties"][1]["members"][0]["name"] = false;
  const run_result r = CheckJson(document);
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "$.races[0].colour", "unknown field");
  ExpectLine(r, "$.races[0].description", "required field is missing");
  ExpectLine(r, "$.races[0].virtue", "is not a virtue; the virtues are Temperance, Charity,");
  ExpectLine(r, "$.races[0].modifiers.agility", "1.3 points is not a whole number of 1/256 steps");
  ExpectLine(r, "$.races[0].modifiers.health", "raw 256 and points 2 disagree");
  ExpectLine(r, "$.careers[0].name", "is 256 characters long; at most 255 fit");
  ExpectLine(r, "$.actors[0].name", "character U+263A cannot be stored");
  ExpectLine(r, "$.actors[0].female", "must be true or false");
  ExpectLine(r, "$.actors[0].elements.fire", "must be between 0 and 255");
  ExpectLine(r, "$.actors[1].race", "must be a string");
  ExpectLine(r, "$.parties[0].members", "must be an array");
  ExpectLine(r, "$.parties[1].members[0].name", "must be a string");

  WriteFile(Path("broken.json"), "{\"races\": [}");
  const run_result broken = Tov({"check", Path("broken.json")});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.out.find("broken.json: not valid JSON: parse error at line 1, column 12"), std::string::npos)
      << broken.out;
  WriteFile(Path("huge.json"), "{\"races\": [1e400]}");
  const run_result huge = Tov({"check", Path("huge.json")});
  EXPECT_EQ(huge.status, 1);
  EXPECT_NE(huge.out.find("huge.json: not valid JSON: number overflow parsing '1e400'"), std::string::npos)
      << huge.out;
}

TEST_F(TovTest, CheckNamesTheJsonPathOfEveryContentProblem) {
  json document = SoundJson();
  document["races"][0]["playable"] = false;
  document["actors"][1]["career_id"] = 4;
  document["actors"][1]["virtue"] = 8;
  document["parties"][1]["id"] = 7;
  document["parties"][1]["members"][0]["id"] = 9;
  const run_result r = CheckJson(document);
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "$.races", "no race is playable");
  ExpectLine(r, "$.actors[1].career_id", "actor \"Gob\" refers to career 4, which does not exist");
  ExpectLine(r, "$.actors[1].virtue", "actor \"Gob\" has virtue number 8, outside 0 to 6");
  ExpectLine(r, "$.parties[1].id", "party \"Them\" has identifier 7 but is at position 1");
  ExpectLine(r, "$.parties[1].members[0]", "party \"Them\" member 0 refers to actor 9, which does not exist");

  document = SoundJson();
  document["parties"] = json::array();
  ExpectLine(CheckJson(document), "$.parties", "there is no player's party");
}

TEST_F(TovTest, NameBesideAReferenceThatDisagreesIsANoteNotAProblem) {
  json document = SoundJson();
  document["races"][0]["name"] = "High Elf";
  const run_result r = CheckJson(document);
  EXPECT_EQ(r.status, 0) << r.out;
  ExpectLine(r, "$.actors[0].race", "note: says \"Elf\" but race 0 is \"High Elf\"; the identifier decides");
}

TEST_F(TovTest, BuildWritesNothingFromJsonWithProblems) {
  json document = SoundJson();
  document["actors"][0]["race_id"] = 2;
  WriteFile(Path("bad.json"), document.dump());
  WriteFile(Path("out.tov"), "keep me");
  const run_result r = Tov({"build", Path("bad.json"), "-o", Path("out.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("$.actors[0].race_id: actor \"Hero\" refers to race 2"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("has 1 problem; \"" + Path("out.tov") + "\" not written"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(Path("out.tov")), "keep me");

  document = SoundJson();
  WriteFile(Path("good.json"), document.dump());
  const run_result missing = Tov({"build", Path("good.json"), "-o", Path("no/such/dir/out.tov")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot write \"" + Path("no/such/dir/out.tov") + "\""), std::string::npos)
      << missing.err;
}

TEST_F(TovTest, DumpRefusesFilesTheGameCannotReadToTheEnd) {
  const crafted world;
  WriteFile(Path("short.tov"), world.Bytes().substr(0, world.Party(1) + 3));
  const run_result r = Tov({"dump", Path("short.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("the party record is cut short"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("cannot be read to its end; nothing dumped"), std::string::npos) << r.err;
}

// ---- command line ----

TEST_F(TovTest, HelpExplainsEveryCommand) {
  const run_result main_help = Tov({"--help"});
  EXPECT_EQ(main_help.status, 0);
  for (const char* command : {"tov dump FILE.tov", "tov build FILE.json -o FILE.tov", "tov check FILE.tov",
                              "Exit status"}) {
    EXPECT_NE(main_help.out.find(command), std::string::npos) << command;
  }
  for (const char* command : {"dump", "build", "check"}) {
    const run_result help = Tov({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("Usage: tov ") + command, 0), 0u) << help.out;
    EXPECT_EQ(Tov({"help", command}).out, help.out);
  }
}

TEST_F(TovTest, UsageErrorsExitWithTwoAndSayWhatIsWrong) {
  WriteFile(Path("x.json"), "{}");
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{}, "no command given"},
      {{"unpack", "x"}, "unknown command \"unpack\""},
      {{"dump"}, "dump takes one data file"},
      {{"dump", "a.tov", "b.tov"}, "dump takes one data file"},
      {{"build", Path("x.json")}, "build needs -o FILE.tov"},
      {{"build", "-o", Path("y.tov")}, "build needs a JSON file"},
      {{"build", Path("x.json"), "-o"}, "-o needs the file to write"},
      {{"build", Path("x.json"), "-o", Path("y.dat")}, "must end in .tov"},
      {{"build", Path("x.json"), "--fast", "-o", Path("y.tov")}, "unknown option --fast"},
      {{"check", Path("x.txt")}, "name it .tov or .json"},
      {{"check"}, "check takes one file"},
  };
  for (const auto& c : cases) {
    const run_result r = Tov(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_EQ(r.err.rfind("tov: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << c.message;
  }
}

// The built tool ends with its command's status and writes its file.
TEST_F(TovTest, TheProgramExitsWithTheCommandsStatus) {
  WriteFile(Path("sound.tov"), crafted().Bytes());
  const run_result dumped = TovBinary(dir_, {"dump", Path("sound.tov")});
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  WriteFile(Path("sound.json"), dumped.out);
  const run_result built = TovBinary(dir_, {"build", Path("sound.json"), "-o", Path("again.tov")});
  EXPECT_EQ(built.status, 0) << built.err;
  EXPECT_EQ(built.out, "wrote " + Path("again.tov") + "\n");
  ExpectSameButDate(crafted().Bytes(), ReadFile(Path("again.tov")));

  crafted spoiled;
  spoiled.parties.pop_back();
  WriteFile(Path("spoiled.tov"), spoiled.Bytes());
  const run_result checked = TovBinary(dir_, {"check", Path("spoiled.tov")});
  EXPECT_EQ(checked.status, 1);
  EXPECT_NE(checked.out.find("there is no enemy party"), std::string::npos) << checked.out;

  const run_result usage = TovBinary(dir_, {});
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.out, "");
  EXPECT_EQ(usage.err.rfind("tov: no command given", 0), 0u) << usage.err;
}

TEST_F(TovTest, FilesThatCannotBeReadAreNamed) {
  for (const char* command : {"dump", "check"}) {
    const run_result r = Tov({command, Path("gone.tov")});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, "tov: cannot read \"" + Path("gone.tov") + "\": No such file or directory\n");
  }
  const run_result r = Tov({"check", dir_.path() + "/.json"});
  EXPECT_EQ(r.status, 1);
}

}  // namespace
