// tov check's warnings: what players never see, though the game plays on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character_creation/chargen.h"
#include "support/tov_support.h"
#include "tov/check.h"
#include "tov/json_form.h"

namespace {

using namespace tov_support;

// The lines text takes on an 80-column terminal that wraps long lines,
// counting the one the cursor ends on.
int TerminalLines(const std::string& text) {
  int lines = 0;
  std::size_t column = 0;
  for (const char c : text) {
    if (c == '\n') {
      lines += column == 0 ? 1 : static_cast<int>((column + 79) / 80);
      column = 0;
    } else {
      column = c == '\t' ? (column / 8 + 1) * 8 : column + 1;
    }
  }
  return lines + (column == 0 ? 1 : static_cast<int>((column + 79) / 80));
}

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
  ExpectLine(r, "byte " + std::to_string(world.Party(4)) + ", parties[4] \"Rare\"",
             "warning: enemy party at position 4 is fought in only 2 of 32768 battles: practically never");
  ExpectLine(r, "byte " + std::to_string(world.Party(5)) + ", parties[5] \"Never\"",
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
  ExpectLine(r, "byte " + std::to_string(world.RaceSection()) + ", RACE section",
             "warning: 16 playable races make the race screen 25 lines long; the terminal shows 24, so the "
             "character sheet scrolls away");

  world = crafted();
  for (unsigned i = 1; i < 14; ++i) world.careers.push_back(CareerRec(i, "Trade" + std::to_string(i)));
  EXPECT_EQ(CheckBytes(world.Bytes()).out.find("warning"), std::string::npos);
  world.careers.push_back(CareerRec(14, "One too many"));
  r = CheckBytes(world.Bytes());
  ExpectLine(r, "byte " + std::to_string(world.CareerSection()) + ", CARR section",
             "warning: 15 playable careers make the career screen 25 lines long");
}

// The line counts the warnings go by are those of the game's own screens.
TEST_F(TovTest, ScreenLinesAreThoseTheCreationScreensDraw) {
  json document = SoundJson();
  document["races"].push_back(json{{"id", 123456}, {"name", std::string(75, 'r')}, {"description", ""},
                                   {"playable", true}, {"virtue", 0}, {"vice", 0},
                                   {"modifiers", document["races"][0]["modifiers"]}});
  document["races"].push_back(json{{"name", "Unlisted"}, {"description", ""}, {"virtue", 0}, {"vice", 0},
                                   {"modifiers", document["races"][0]["modifiers"]}});
  for (int i = 0; i < 3; ++i) {
    document["careers"].push_back(json{{"name", std::string(60 + 10 * i, 'c')}, {"description", ""},
                                       {"playable", i != 1}, {"modifiers", document["careers"][0]["modifiers"]}});
  }
  const tov::loaded read = json_form::Read(document.dump());
  ASSERT_TRUE(read.problems.empty()) << read.problems[0].where << ": " << read.problems[0].what;
  tov_file* file = read.file.get();

  // The screen as drawn up to the point where it waits for the choice.
  const auto drawn_lines = [&](void (*screen)(actor*, tov_file*, const unsigned char&)) {
    actor hero;
    test_support::ConsoleCapture capture;
    try {
      screen(&hero, file, CharGen::kSheetName);
    } catch (const test_support::EndOfInput&) {
    }
    return TerminalLines(capture.Output());
  };
  EXPECT_EQ(check::RaceScreenLines(*file), drawn_lines(CharGen::Race));
  EXPECT_EQ(check::CareerScreenLines(*file), drawn_lines(CharGen::Career));
  EXPECT_EQ(check::RaceScreenLines(*file), 8 + 1 + 2);
}

}  // namespace
