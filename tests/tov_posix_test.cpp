// The content tool, run as authors run it: dump and build on real and
// crafted files, and its command line.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/tov_support.h"

namespace {

using namespace tov_support;
using data_file_test::ExpectSameBytes;
using test_support::ReadFile;
using test_support::TempDir;

const std::string kCoreData = std::string(OSSIVAR_SOURCE_DIR) + "/data/Core Data.tov";

// The built tool itself, run by the shell, with its output captured in
// files of `dir`.
run_result TovBinary(const TempDir& dir, const std::vector<std::string>& words) {
  const std::string out_path = dir.path() + "/.stdout";
  const std::string err_path = dir.path() + "/.stderr";
  std::string command = "'" OSSIVAR_TOV "'";
  // Appended piece by piece, which g++ -O3 does not take for an overlapping copy.
  for (const std::string& word : words) command.append(" '").append(word).append("'");
  command.append(" > '").append(out_path).append("' 2> '").append(err_path).append("'");
  const int status = std::system(command.c_str());
  run_result result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  return result;
}

// ---- Round trips ----

TEST_F(TovTest, ContentFileDumpsAndBuildsBackToTheSameBytes) {
  const run_result dumped = Tov({"dump", kCoreData});
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  EXPECT_EQ(dumped.err, "");
  WriteFile(Path("core.json"), dumped.out);
  const run_result built = Tov({"build", Path("core.json"), "-o", Path("again.tov")});
  ASSERT_EQ(built.status, 0) << built.err;
  ExpectSameBytes(ReadFile(kCoreData), ReadFile(Path("again.tov")));

  const json document = json::parse(dumped.out);
  const json& goblin = document["actors"][4];
  EXPECT_EQ(goblin["race"], "Goblin");
  EXPECT_EQ(goblin["career"], "Goblin Warrior");
  EXPECT_EQ(document["races"][7]["modifiers"]["wisdom"], (json{{"raw", 128}, {"points", 0.5}}));
  EXPECT_EQ(document["parties"][0]["members"][3], (json{{"id", 3}, {"name", "Janet"}}));
}

TEST_F(TovTest, SaveAfterANewGameDumpsAndBuildsBackToTheSameBytes) {
  const std::unique_ptr<tov_file> file = data_file_test::Load(data_file_test::CoreData());
  actor& hero = file->actors.emplace_back();
  hero.name = pstr<unsigned char>("Wren");
  hero.female = true;
  hero.PickRace(&file->races[5]);
  hero.PickCareer(&file->careers[10]);
  hero.virtue = aspects::FindVirtue(4);
  hero.vice = aspects::FindVice(1);
  hero.PickVirtueVice(hero.virtue, hero.vice);
  hero.Restore();
  party& player = file->parties[0];
  player.members[0] = &hero;
  for (actor** m = player.Begin(); m != player.End(); ++m) (*m)->player_controlled = true;
  const std::string save = Path("save01.tov");
  WriteFile(save, data_file_test::Save(*file));

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
  ExpectSameBytes(ReadFile(save), ReadFile(Path("again.tov")));
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
  EXPECT_EQ(back["parties"][1]["members"],
            json::parse(R"([{"id": 1, "name": "Gob"}, {"id": 0, "name": "Hero"}])"));
}

// Authors are told which fields they may leave out: those keep what a
// fresh record has; any other field left out is a problem.
TEST_F(TovTest, OnlyTheFieldsAuthorsAreToldOfMayBeLeftOut) {
  json document = SoundJson();
  json& hero = document["actors"][0];
  for (const char* key : {"id", "female", "player_controlled"}) hero.erase(key);
  for (auto& stat : hero["stats"].items()) {
    stat.value().erase("wound");
    stat.value().erase("growth");
  }
  document["parties"][1].erase("shared_members");
  document["header"].erase("date");
  WriteFile(Path("sparse.json"), document.dump());
  const run_result built = Tov({"build", Path("sparse.json"), "-o", Path("sparse.tov")});
  ASSERT_EQ(built.status, 0) << built.err;
  const json back = json::parse(Tov({"dump", Path("sparse.tov")}).out);
  EXPECT_EQ(back["actors"][0]["stats"]["strength"]["wound"]["raw"], 0);
  EXPECT_EQ(back["actors"][0]["stats"]["strength"]["growth"]["raw"], 0);
  EXPECT_EQ(back["actors"][0]["female"], false);

  for (const char* key : {"base", "current"}) {
    json spoilt = SoundJson();
    spoilt["actors"][0]["stats"]["strength"].erase(key);
    ExpectLine(CheckJson(spoilt), std::string("$.actors[0].stats.strength.") + key,
               "required field is missing");
  }
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
  ExpectSameBytes(world.Bytes(), ReadFile(Path("again.tov")));
}

// A given date is kept (the round trips above); without one the build takes
// SOURCE_DATE_EPOCH's day in UTC, so packaging builds the same bytes on any day.
TEST_F(TovTest, BuildWithoutADateTakesSourceDateEpochsDay) {
  json document = SoundJson();
  document["header"].erase("date");
  WriteFile(Path("undated.json"), document.dump());
  const auto build_with = [&](const char* epoch) {
    setenv("SOURCE_DATE_EPOCH", epoch, 1);
    const run_result built = Tov({"build", Path("undated.json"), "-o", Path("undated.tov")});
    unsetenv("SOURCE_DATE_EPOCH");
    return built;
  };
  const run_result built = build_with("1804203000");  // 4 March 2027, 23:30 UTC
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_EQ(ReadFile(Path("undated.tov")).substr(7, 3), std::string("\x1B\x03\x04", 3));

  const run_result refused = build_with("yesterday");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "tov: SOURCE_DATE_EPOCH must be a number of seconds since 1970, not \"yesterday\"\n");
}

// ---- build and dump ----

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
  for (const char* command :
       {"tov dump FILE.tov", "tov build FILE.json -o FILE.tov", "tov check FILE.tov", "Exit status"}) {
    EXPECT_NE(main_help.out.find(command), std::string::npos) << command;
  }
  for (const char* command : {"dump", "build", "check"}) {
    const run_result help = Tov({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("Usage: tov ") + command, 0), 0u) << help.out;
    EXPECT_EQ(Tov({"help", command}).out, help.out);
  }
}

// What a reader of the format finds in the header and in each kind of
// record, written out here rather than taken from the tool's field lists,
// which a fault could drop a field from everywhere at once: the name beside
// each reference, and the members of a party, are the dump's own.
struct format_part {
  const char* key;
  std::vector<std::string> fields;
};

const format_part kFormatParts[] = {
    {"header", {"date", "title", "author", "description"}},  // in file order
    {"races", {"id", "name", "description", "playable", "virtue", "vice", "modifiers"}},
    {"careers", {"id", "name", "description", "playable", "modifiers"}},
    {"actors",
     {"id", "name", "female", "player_controlled", "race_id", "race", "career_id", "career", "virtue", "vice",
      "stats", "elements"}},
    {"parties", {"id", "name", "shared_members", "members"}},
};

// The line of the help that starts with `key`, and the lines indented
// under it.
std::string HelpLinesOf(const std::string& help, const std::string& key) {
  const std::size_t start = help.find("\n  " + key + " ");
  if (start == std::string::npos) return "";
  std::size_t end = help.find('\n', start + 1);
  while (end != std::string::npos && help.compare(end, 4, "\n   ") == 0) end = help.find('\n', end + 1);
  return help.substr(start, end - start) + "\n";
}

// Whether `word` stands in `text` on its own, not as part of a longer name.
bool Names(const std::string& text, const std::string& word) {
  const auto part_of_name = [](const char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  };
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const std::size_t after = at + word.size();
    if ((at == 0 || !part_of_name(text[at - 1])) && (after == text.size() || !part_of_name(text[after]))) {
      return true;
    }
  }
  return false;
}

TEST_F(TovTest, DumpHelpNamesEveryFieldOfTheFormatAndADumpHoldsThem) {
  const std::string help = Tov({"dump", "--help"}).out;
  const json document = json::parse(Tov({"dump", kCoreData}).out);
  for (const format_part& part : kFormatParts) {
    const std::string lines = HelpLinesOf(help, part.key);
    ASSERT_FALSE(lines.empty()) << part.key << " not in\n" << help;
    for (const std::string& field : part.fields) {
      EXPECT_TRUE(Names(lines, field)) << part.key << " " << field << " not in\n" << lines;
    }
    const json& sample =
        part.key == std::string("header") ? document.at("header") : document.at(part.key).at(0);
    std::vector<std::string> held;
    for (const auto& field : sample.items()) held.push_back(field.key());
    EXPECT_EQ(held, part.fields) << part.key;
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
  ExpectSameBytes(crafted().Bytes(), ReadFile(Path("again.tov")));

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
