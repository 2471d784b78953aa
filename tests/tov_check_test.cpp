// tov check as authors run it: every problem the game would meet in a data
// file or in its JSON, named where it is, and warnings about what players
// would never see.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "data_file/play_check.h"
#include "support/data_file_bytes.h"
#include "support/tov_support.h"
#include "tov/check.h"
#include "tov/json_form.h"

namespace {

using namespace tov_support;

// ---- check on .tov files ----

TEST_F(TovTest, CraftedWorldIsSound) {
  const run_result r = CheckBytes(crafted().Bytes());
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, Path("crafted.tov") + ": sound\n");
}

TEST_F(TovTest, CheckRejectsWrongMagicVersionAndShortHeaders) {
  const auto spoilt = [](std::size_t at, char value) {
    std::string bytes = crafted().Bytes();
    bytes[at] = value;
    return bytes;
  };
  ExpectProblem(spoilt(0, 'I'), "byte 0", "not a data file: it begins with \"ITOV\"");
  ExpectProblem(spoilt(4, 1), "byte 4", "format version bytes 01 00 04 are not this game's");
  EXPECT_EQ(CheckBytes(spoilt(5, 7)).status, 0) << "only the first version byte matters to the game";
  ExpectProblem(crafted().header.substr(0, 13), "byte 13",
                "the header is cut short: the file ends in its title");
  ExpectProblem("", "byte 0", "the file is empty");
}

TEST_F(TovTest, CheckFindsCutShortRecordsAndSections) {
  const crafted world;
  const std::string bytes = world.Bytes();
  ExpectProblem(bytes.substr(0, world.Actor(1) + 18), At(world.Actor(1), "actors[1]"),
                "the actor record is cut short: the file ends in its career_id");
  ExpectProblem(bytes.substr(0, world.PartySection() + 7), At(world.PartySection(), "PART section"),
                "the section header is cut short");
  ExpectProblem(bytes + "PA", At(bytes.size()), "2 stray bytes at the end");
}

TEST_F(TovTest, CheckFindsLengthFieldsThatDisagreeWithTheRecords) {
  crafted world;
  world.header[10] = 40;  // the real header is 18 bytes
  ExpectProblem(world.Bytes(), "byte 10",
                "header length field says 40 but the header is 18 bytes long; the game skips the 22");

  world = crafted();
  world.careers[0][0] = static_cast<char>(world.careers[0][0] + 1);
  ExpectProblem(world.Bytes(), At(world.CareerSection() + 10, "careers[0]"),
                "record size field says 37 but the record makes 36");

  world = crafted();
  std::string bytes = world.Bytes();
  bytes[world.ActorSection() + 4] = 0;
  ExpectProblem(bytes, At(world.ActorSection() + 4, "ACTR section"),
                "section length field says 0 but its 2 records make");
}

TEST_F(TovTest, CheckFindsUnknownTagsAndSectionsTheGameReadsWrongly) {
  const crafted world;
  ExpectProblem(world.header + world.Races() + world.Careers() + "ITEM" + U32(8) + U16(0) + world.Actors(),
                At(world.ActorSection()), "unknown section tag \"ITEM\"; the game stops reading");
  ExpectProblem(world.header + world.Careers() + world.Actors() + world.Races() + world.Parties(),
                At(world.header.size() + world.Careers().size(), "ACTR section"),
                "comes before the RACE section, so the game resolves its actors' races against none");
  ExpectProblem(world.Bytes() + world.Races(), At(world.Bytes().size(), "RACE section"),
                "a second RACE section: the game throws away the races read before");
}

TEST_F(TovTest, CheckFindsIdentifiersReferencesAndAspectsTheGameWouldMisread) {
  crafted world;
  world.races = {RaceRec(0, "Elf", 1, 9, 2)};
  world.careers = {};
  world.actors = {ActorRec(0, "Hero", 3, 0, 0, 7), ActorRec(5, "Gob", 0, 0)};
  world.parties = {PartyBytes(0, "Us", true, {0}), PartyBytes(1, "Them", false, {1, 5})};
  const run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  const std::size_t race = world.RaceSection() + 10;
  const std::size_t hero = world.Actor(0);
  const std::size_t them = world.Party(1);
  ExpectLine(r, At(race + 10 + 3 + 5, "races[0].virtue"),
             "race \"Elf\" has virtue number 9, outside 0 to 6; the game reads it as Humility");
  ExpectLine(r, At(hero + 9 + 4, "actors[0].race_id"),
             "actor \"Hero\" refers to race 3, which does not exist; the game falls back to race 0 \"Elf\"");
  ExpectLine(r, At(hero + 13 + 4, "actors[0].career_id"),
             "actor \"Hero\" refers to career 0 but the file has no careers");
  ExpectLine(r, At(hero + 18 + 4, "actors[0].vice"),
             "actor \"Hero\" has vice number 7, outside 0 to 6; the game reads it as Lust");
  ExpectLine(r, At(world.Actor(1) + 2, "actors[1].id"),
             "actor \"Gob\" has identifier 5 but is at position 1");
  ExpectLine(r, At(them + 11 + 4, "parties[1].members[0]"),
             "party \"Them\" member 0 refers to actor 1, which does not exist; the game falls back to actor "
             "0 \"Hero\"");
  // Without careers no one can fight, which the game refuses.
  ExpectLine(r, At(world.Party(0) + 11 + 2, "parties[0].members[0]"),
             "party \"Us\" member 0 has no race or career to fight with");
  // Actor 5 exists, under the wrong identifier: only that is reported.
  EXPECT_EQ(r.out.find("member 1 refers"), std::string::npos) << r.out;
}

TEST_F(TovTest, CheckFindsPartiesANewGameCannotUse) {
  crafted world;
  std::vector<unsigned> crowd(251, 1);
  world.parties = {PartyBytes(0, "Us", true, {}), PartyBytes(1, "Horde", false, crowd),
                   PartyBytes(2, "Ghosts", false, {})};
  run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, At(world.Party(0) + 12, "parties[0].member_count"),
             "the player's party \"Us\" has no members");
  ExpectLine(r, At(world.Party(1) + 15, "parties[1].member_count"),
             "party \"Horde\" has 251 members; at most 250");
  ExpectLine(r, At(world.Party(2) + 16, "parties[2].member_count"), "enemy party \"Ghosts\" has no members");

  world.parties = {PartyBytes(0, "Us", true, {0})};
  ExpectProblem(world.Bytes(), At(world.PartySection(), "PART section"), "there is no enemy party");

  world.parties = {};
  world.races = {RaceRec(0, "Elf", 0)};
  r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  ExpectLine(r, "whole file", "there is no player's party: the file has no parties");
  ExpectLine(r, At(world.RaceSection(), "RACE section"), "no race is playable");

  world = crafted();
  world.parties[1] = PartyBytes(1, "Them", false, std::vector<unsigned>(250, 1));
  EXPECT_EQ(CheckBytes(world.Bytes()).status, 0);
}

// The game refuses a file by the same rule check applies, so no cut or
// spoilt byte gets a file past check that the game would turn away.
TEST_F(TovTest, CheckNeverPassesAFileTheGameRefuses) {
  const std::string whole = crafted().Bytes();
  std::filesystem::create_directory(Path("data"));
  const auto game_refuses = [&](const std::string& bytes) {
    WriteFile(Path("data/spoilt.tov"), bytes);
    const auto file = data_file_test::OpenIn(Path("data/"), "spoilt");
    return !play_check::Problems(*file, play_check::use::kNewGame).empty();
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

// ---- check on JSON ----

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

// ---- warnings: what players never see, though the game plays on ----

std::vector<std::string> Parties(const std::vector<std::string>& names) {
  std::vector<std::string> parties{PartyBytes(0, "Us", true, {0})};
  for (std::size_t p = 0; p < names.size(); ++p) {
    parties.push_back(PartyBytes(static_cast<unsigned>(p + 1), names[p], false, {1}));
  }
  return parties;
}

TEST_F(TovTest, EnemyPartiesBattlesNeverOrHardlyEverDrawAreWarnedAbout) {
  crafted world;
  world.parties = Parties({"One", "Two", "Three", "Rare", "Never"});
  run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 0) << r.out;
  ExpectLine(r, At(world.Party(4), "parties[4] \"Rare\""),
             "warning: enemy party at position 4 is fought in only 2 of 32768 battles: practically never");
  ExpectLine(
      r, At(world.Party(5), "parties[5] \"Never\""),
      "warning: enemy party at position 5 is never fought: battles draw only the parties at positions 1 "
      "to 4");
  EXPECT_EQ(r.out.find("\"Three\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(Path("crafted.tov") + ": sound, 2 warnings\n"), std::string::npos) << r.out;

  // Four parties: the last enemy party takes the two rare draws as well.
  world.parties = Parties({"One", "Two", "Three"});
  r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.out, Path("crafted.tov") + ": sound\n");
}

TEST_F(TovTest, WarningsInJsonNameTheRecordByItsPathAndName) {
  json document = SoundJson();
  for (const char* name : {"Two", "Three", "Four", "Five"}) {
    document["parties"].push_back(json{{"name", name}, {"members", json::array({1})}});
  }
  const run_result r = CheckJson(document);
  EXPECT_EQ(r.status, 0) << r.out;
  ExpectLine(r, "$.parties[4] \"Four\"", "warning: enemy party at position 4 is fought in only 2");
  ExpectLine(r, "$.parties[5] \"Five\"", "warning: enemy party at position 5 is never fought");
}

TEST_F(TovTest, ProblemsAndWarningsAreCountedApart) {
  crafted world;
  world.parties = Parties({"", "One", "Two", "Three", "Never"});
  world.parties[1] = PartyBytes(1, "Empty", false, {});
  const run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(": 1 problem, 2 warnings\n"), std::string::npos) << r.out;
}

// Eight lines go to the sheet, the question and the typing line; the list
// fills the rest, an entry wider than the screen taking two lines.
TEST_F(TovTest, ListsOfPlayableRacesOrCareersLongerThanTheScreenAreWarnedAbout) {
  crafted world;
  world.races.clear();
  for (unsigned i = 0; i < 16; ++i) world.races.push_back(RaceRec(i, "Folk" + std::to_string(i)));
  world.races.push_back(RaceRec(16, "Hidden", 0));
  EXPECT_EQ(CheckBytes(world.Bytes()).status, 0);
  EXPECT_EQ(CheckBytes(world.Bytes()).out.find("warning"), std::string::npos);

  world.races[3] = RaceRec(3, std::string(70, 'w'));
  run_result r = CheckBytes(world.Bytes());
  EXPECT_EQ(r.status, 0);
  ExpectLine(r, At(world.RaceSection(), "RACE section"),
             "warning: 16 playable races make the race screen 25 lines long; the terminal shows 24, so the "
             "character sheet scrolls away");

  world = crafted();
  for (unsigned i = 1; i < 14; ++i) world.careers.push_back(CareerRec(i, "Trade" + std::to_string(i)));
  EXPECT_EQ(CheckBytes(world.Bytes()).out.find("warning"), std::string::npos);
  world.careers.push_back(CareerRec(14, "One too many"));
  r = CheckBytes(world.Bytes());
  ExpectLine(r, At(world.CareerSection(), "CARR section"),
             "warning: 15 playable careers make the career screen 25 lines long");
}

}  // namespace
