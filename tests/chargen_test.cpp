// Character creation: the name, race and career screens.

#include "character_creation/chargen.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "character_sheet/record_list.h"
#include "console/text_layout.h"
#include "data_file/io_file.h"
#include "game/examples.h"
#include "support/chargen_screens.h"
#include "support/test_support.h"

namespace {

using namespace chargen_test;

// ---- Name and sex

TEST_F(ChargenTest, NameScreenAsksNameThenSexUnderOneHeader) {
  const auto screens = Run("Bob\nm\n", [&] { CharGen::Name(&hero_, 0); });
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(screens[0].header, kBlankHeader);
  EXPECT_EQ(screens[0].body,
            "\n\tWhat is your name?\n\t  \n\tWhat is your sex?\n\t  0) Male\n\t  1) Female\n\t  ");
  EXPECT_EQ(hero_.name.str(), "Bob");
  EXPECT_FALSE(hero_.female);
}

TEST_F(ChargenTest, NamesAreTakenAsTyped) {
  const struct {
    std::string typed, name;
  } cases[] = {
      {"", ""},
      {std::string("Bo\0b", 4), "Bo"},
      {"  Sir Lancelot the Brave  ", "  Sir Lancelot the Brave  "},
      {std::string(300, 'x'), std::string(255, 'x')},  // too long for the length byte: the first 255 stay
  };
  // Each follows the newline a numeric menu left, which is not the name;
  // only one newline counts as left over, so an empty line after it is one.
  for (const auto& c : cases) {
    Run("\n" + c.typed + "\nm\n", [&] { CharGen::Name(&hero_, 0); });
    EXPECT_EQ(hero_.name.str(), c.name);
  }
}

TEST_F(ChargenTest, SexAnswers) {
  struct {
    const char* answer;
    bool female;
  } const cases[] = {{"F", true},   {"f", true},     {"1", true},  {"Female", true}, {"female", true},
                     {"0", false},  {"m", false},    {"M", false}, {"2", false},     {"", false},
                     {" f", false}, {"Male", false}, {"10", true}};
  for (const auto& entry : cases) {
    hero_.female = !entry.female;
    Run(std::string("Kim\n") + entry.answer + "\n", [&] { CharGen::Name(&hero_, 0); });
    EXPECT_EQ(hero_.female, entry.female) << '"' << entry.answer << '"';
  }
}

// ---- Race

TEST_F(ChargenTest, RaceListOffersOnlyPlayableRaces) {
  const auto screens = Run("3\n0\n1\n", [&] { CharGen::Race(&hero_, file_.get(), 1); });
  const std::string list = Menu("\n\tWhat race are you?\n\t  ", {"0) Nimisum", "1) Protosum", "2) Absum"});
  ASSERT_EQ(screens.size(), 4u);
  EXPECT_EQ(screens[0].body, list);
  EXPECT_EQ(screens[1].body, "") << "Piyat is not playable: the header, then the list again";
  EXPECT_EQ(screens[2].body, list);
  EXPECT_EQ(hero_.race, &Race(0));
}

TEST_F(ChargenTest, RacePreviewShowsNameDescriptionModifiersAndAspects) {
  race& odd = Race(1);
  odd.name = pstr<unsigned char>("The Exceedingly Long Name");
  odd.modifiers = {768, 383, 0, 255, 256, 2560, 512, 1024, 25600};
  const auto screens = Run("1\n1\n", [&] { CharGen::Race(&hero_, file_.get(), 1); });
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[1].body, "\n        The Exceedingly L...\n" + Paragraph(odd.description, 8, 8, 2, 7) +
                                 "\n" +
                                 "           STR  3          HP   0    AD   10        Virtue: Chastity\n"
                                 "           WIS  1          EN   1    AC   100          Vice: Pride\n"
                                 "           AGI  0          AS   4    RE   2\n" +
                                 kConfirm);
}

TEST_F(ChargenTest, AnUnknownNumberPreviewsTheFirstRaceOfTheFile) {
  const auto screens = Run("42\n1\n", [&] { CharGen::Race(&hero_, file_.get(), 1); });
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[1].body.substr(0, 17), "\n        Nimisum\n");
  EXPECT_EQ(hero_.race, &Race(0));

  // When the first race is not playable, an unknown number starts over.
  Race(0).playable = 0;
  actor other;
  const auto again = Run("42\n2\n1\n", [&] { CharGen::Race(&other, file_.get(), 1); });
  ASSERT_EQ(again.size(), 4u);
  EXPECT_EQ(again[1].body, "");
  EXPECT_EQ(other.race, &Race(2));
}

TEST_F(ChargenTest, OnlyAYesConfirmsTheRace) {
  const auto screens = Run("2\n0\n2\n7\n2\n-1\n1\n1\n", [&] { CharGen::Race(&hero_, file_.get(), 1); });
  ASSERT_EQ(screens.size(), 8u);
  EXPECT_EQ(hero_.race, &Race(1));
  EXPECT_EQ(hero_.race_id, 1u);

  ExpectMadeOf(hero_, &examples::elf, nullptr);
  EXPECT_EQ(hero_.health.get(false), hero_.health.get_max(false)) << "the auxiliary stats are filled";
}

// ---- Career

TEST_F(ChargenTest, CareerListEndsWithTheCustomEntryNumberedByTheCareerCount) {
  const auto screens = Run("4\n0\n1\n1\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });
  const std::string list =
      Menu("\n\tWhat is your career?\n\t  ", {"1) Warrior", "2) Archer", "", "3) Custom"});
  ASSERT_EQ(screens.size(), 5u);
  EXPECT_EQ(screens[0].body, list);
  EXPECT_EQ(screens[1].body, list) << "4 is past the custom entry: the list again, nothing between";
  EXPECT_EQ(screens[2].body, "") << "the janitor is not playable";
  EXPECT_EQ(screens[3].body, list);
  EXPECT_EQ(hero_.career, &Career(1));
}

TEST_F(ChargenTest, CareerPreviewShowsNameDescriptionAndModifiers) {
  career& odd = Career(2);
  odd.name = pstr<unsigned char>("Arrow Slinger Extraordinaire");
  odd.modifiers = {256, 512, 768, 1024, 1280, 1536, 1792, 2048, 2304};
  const auto screens = Run("2\n1\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[1].body, "\n        Arrow Slinger Ext...\n" + Paragraph(odd.description, 8, 8, 2, 7) +
                                 "\n" +
                                 "           STR  1          HP   4    AD   6\n"
                                 "           WIS  2          EN   5    AC   9\n"
                                 "           AGI  3          AS   8    RE   7\n" +
                                 kConfirm);
}

TEST_F(ChargenTest, ChoosingAnotherCareerTakesTheFirstOneBack) {
  hero_.PickRace(&Race(0));
  FillAux(hero_);
  Run("1\n0\n1\n1\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });
  EXPECT_EQ(hero_.career, &Career(1));
  Run("2\n1\n", [&] { CharGen::Career(&hero_, file_.get(), 255); });
  EXPECT_EQ(hero_.career, &Career(2));
  EXPECT_EQ(hero_.career_id, 2u);

  ExpectMadeOf(hero_, &examples::human, &examples::archer);
}

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

// The content tool warns about long lists by these counts, so they must be
// the lines the screens draw, up to where they wait for the choice.
TEST_F(ChargenTest, ListScreenLinesAreThoseTheScreensDraw) {
  Race(1).name = pstr<unsigned char>(std::string(75, 'r').c_str());  // an entry of 88 columns
  Race(2).id = 123456;
  Career(0).playable = 1;
  Career(0).name = pstr<unsigned char>(std::string(68, 'c').c_str());  // 81 columns
  Career(2).name = pstr<unsigned char>(std::string(67, 'c').c_str());  // 80: still one line
  const auto drawn_lines = [&](void (*screen)(actor*, tov_file*, const unsigned char&)) {
    test_support::ConsoleCapture capture;
    try {
      screen(&hero_, file_.get(), CharGen::kSheetName);
    } catch (const test_support::EndOfInput&) {
    }
    return TerminalLines(capture.Output());
  };
  const int race_lines = CharGen::ScreenLines(CharGen::kRaceList, file_->races);
  EXPECT_EQ(race_lines, drawn_lines(CharGen::Race));
  EXPECT_EQ(race_lines, 5 + 2 + 1 + 2 + 1 + 1) << "sheet, question, three entries, the typing line";
  EXPECT_EQ(CharGen::ScreenLines(CharGen::kCareerList, file_->careers), drawn_lines(CharGen::Career));
}

// The token counts and finish entries of every allocation screen drawn.
std::vector<std::string> Pools(const std::vector<screen>& screens) {
  static const std::regex kPool("You have (\\d+) (SWAg|aux) tokens\\.");
  std::vector<std::string> pools;
  for (const screen& s : screens) {
    std::smatch match;
    if (!std::regex_search(s.body, match, kPool)) continue;
    std::string entry = match[2].str() + " " + match[1].str();
    if (s.body.find("Finished?") != std::string::npos) entry += " finish";
    pools.push_back(entry);
  }
  return pools;
}

TEST_F(ChargenTest, SwagTokensFollowTheAmountRule) {
  hero_.PickRace(&Race(0));
  FillAux(hero_);
  const std::string input =
      "3\n"      // custom
      "0\n10\n"  // Strength 10: all 6 tokens
      "0\n-2\n"  // Strength -2: 2 back
      "1\n-1\n"  // Wisdom -1: it has nothing to give back
      "3\n"      // tokens left: only a redraw
      "1\n0\n"   // an amount of 0
      "1\n2\n"   // Wisdom 2: none left
      "2\n5\n"   // nothing left to spend
      "3\n"      // finished
      "6\n"      // aux: tokens left, a redraw
      "5\n12\n"  // Accuracy takes them all
      "-1\n";    // finished
  const auto screens = Run(input, [&] { CharGen::Career(&hero_, file_.get(), 3); });
  EXPECT_EQ(Pools(screens),
            (std::vector<std::string>{"SWAg 6", "SWAg 0 finish", "SWAg 2", "SWAg 2", "SWAg 2", "SWAg 2",
                                      "SWAg 0 finish", "SWAg 0 finish", "aux 12", "aux 12", "aux 0 finish"}));
  const career& custom = file_->careers.back();
  EXPECT_EQ(custom.modifiers, (stat_modifiers{1024, 512, 0, 0, 0, 0, 0, 0, 3072}));
  EXPECT_EQ(output_.find("Is this correct?"), std::string::npos) << "a custom career has no preview";
}

// A stat gives back all it received, and not a point more, in both pools.
TEST_F(ChargenTest, ATakeBackReturnsAllTheStatReceivedButNoMore) {
  hero_.PickRace(&Race(0));
  FillAux(hero_);
  const std::string input =
      "3\n"      // custom
      "0\n2\n"   // Strength 2
      "0\n-3\n"  // one more than it received: nothing
      "0\n-2\n"  // all it received: both back
      "2\n6\n"   // Agility takes all six
      "3\n"      // finished
      "1\n4\n"   // Energy 4
      "1\n-5\n"  // one more: nothing
      "1\n-4\n"  // all four back
      "5\n12\n"  // Accuracy takes them all
      "-1\n";    // finished
  const auto screens = Run(input, [&] { CharGen::Career(&hero_, file_.get(), 3); });
  EXPECT_EQ(Pools(screens), (std::vector<std::string>{"SWAg 6", "SWAg 4", "SWAg 4", "SWAg 6", "SWAg 0 finish",
                                                      "aux 12", "aux 8", "aux 8", "aux 12", "aux 0 finish"}));
  EXPECT_EQ(file_->careers.back().modifiers, (stat_modifiers{0, 0, 1536, 0, 0, 0, 0, 0, 3072}));
}

TEST_F(ChargenTest, AllocationScreensShowTheProjectedStats) {
  hero_.PickRace(&Race(0));  // Nimisum: STR 1, WIS 2, AGI 2
  FillAux(hero_);
  std::vector<std::string> aux;
  for (int i = 3; i < 9; ++i) aux.push_back(std::to_string(hero_.Stat(i)->get(true)));
  const std::string reflex_after = std::to_string(hero_.reflex.get(true) + 12);

  const auto screens = Run("3\n1\n4\n0\n9\n-1\n3\n12\n7\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });
  ASSERT_EQ(screens.size(), 6u);  // the career list first
  EXPECT_EQ(
      screens[1].body,
      "\n\tYou have 6 SWAg tokens.\t\t******\n\n\t  0) Strength  1\n\t  1) Wisdom    2\n\t  2) Agility   2"
      "\n\t  \n\t  Amount: ");
  EXPECT_EQ(screens[2].body,
            "\n\tYou have 2 SWAg tokens.\t\t**\n\n\t  0) Strength  1\n\t  1) Wisdom    6\n\t  2) Agility   2"
            "\n\t  \n\t  Amount: ");
  EXPECT_EQ(screens[3].body,
            "\n\tYou have 0 SWAg tokens.\t\t\n\n\t  0) Strength  3\n\t  1) Wisdom    6\n\t  2) Agility   2"
            "\n\n\t  3) Finished?\n\t  ");
  EXPECT_EQ(screens[4].body, "\n\tYou have 12 aux tokens.\t\t************\n\n\t  0) Health         " +
                                 aux[0] + "\n\t  1) Energy         " + aux[1] + "\n\t  2) Attack Damage  " +
                                 aux[2] + "\n\t  3) Reflex         " + aux[3] + "\n\t  4) Attack Speed   " +
                                 aux[4] + "\n\t  5) Accuracy       " + aux[5] + "\n\t  \n\t  Amount: ");
  EXPECT_NE(screens[5].body.find("\n\t  3) Reflex         " + reflex_after + "\n"), std::string::npos);
  EXPECT_NE(screens[5].body.find("\n\n\t  6) Finished?\n\t  "), std::string::npos);
}

TEST_F(ChargenTest, ACustomCareerIsAppendedWithItsPositionAsIdentifier) {
  hero_.PickRace(&Race(0));
  FillAux(hero_);
  const unsigned short energy = hero_.energy.get(false);
  const unsigned short health = hero_.health.get(false);
  Run("3\n0\n6\n9\n0\n12\n9\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });

  ASSERT_EQ(file_->careers.size(), 4u);
  const career& custom = file_->careers.back();
  EXPECT_EQ(custom.id, 3u);
  EXPECT_EQ(custom.name.str(), "Janitor");
  EXPECT_EQ(custom.description.str(), "This rag technician will sweep you off your feet!");
  EXPECT_EQ(custom.playable, 0);
  EXPECT_EQ(hero_.career, &custom);
  EXPECT_EQ(hero_.career_id, 3u);
  EXPECT_EQ(hero_.strength.base, examples::human.modifiers[0] + 6 * 256);

  // The auxiliary stats were filled before the aux tokens were spent, and
  // only the custom bonus is added on top, though the maxima rose further.
  EXPECT_EQ(hero_.health.get(false), health + 12 * 256);
  EXPECT_EQ(hero_.energy.get(false), energy);
  EXPECT_LT(hero_.energy.get(false), hero_.energy.get_max(false));

  // It is never listed, and the next custom entry moves up.
  const auto screens = Run("1\n1\n", [&] { CharGen::Career(&hero_, file_.get(), 255); });
  EXPECT_EQ(screens[0].body,
            Menu("\n\tWhat is your career?\n\t  ", {"1) Warrior", "2) Archer", "", "4) Custom"}));
}

TEST_F(ChargenTest, EveryCustomCareerBuiltAppendsOneMore) {
  hero_.PickRace(&Race(0));
  FillAux(hero_);
  Run("3\n0\n6\n9\n0\n12\n9\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });
  Run("4\n2\n6\n9\n3\n12\n9\n", [&] { CharGen::Career(&hero_, file_.get(), 255); });
  ASSERT_EQ(file_->careers.size(), 5u);
  EXPECT_EQ(file_->careers[3].modifiers, (stat_modifiers{1536, 0, 0, 3072, 0, 0, 0, 0, 0}));
  EXPECT_EQ(file_->careers[4].modifiers, (stat_modifiers{0, 0, 1536, 0, 0, 0, 3072, 0, 0}));
  EXPECT_EQ(file_->careers[4].id, 4u);
  EXPECT_EQ(hero_.career, &file_->careers[4]);
  // The first custom career was taken back: only the second one counts.
  EXPECT_EQ(hero_.strength.base, examples::human.modifiers[0]);
  EXPECT_EQ(hero_.agility.base, examples::human.modifiers[2] + 1536);
}

}  // namespace
