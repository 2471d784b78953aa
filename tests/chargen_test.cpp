#include "character_creation/chargen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "console/text_layout.h"
#include "data_file/io_file.h"
#include "game/examples.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string kRule = std::string(80, '=') + "\n";
const std::string kBlankHeader = std::string(41, ' ') + "\n" + std::string(48, ' ') + "\n" +
                                 std::string(48, ' ') + "\n" + std::string(48, ' ') + "\n";
const std::string kConfirm = "\n\n\tIs this correct?\n\t  0) No.\n\t  1) Yes.\n\t  ";

// One drawn screen: the four header lines and what followed the rule.
struct screen {
  std::string header;
  std::string body;
};

// Cuts captured output at every rule. A header is four lines ending right
// before its rule, and its first line follows a prompt without a newline:
// it is 41 columns wide, or 76 when it ends with an element's "%".
std::string::size_type HeaderStart(const std::string& output, std::string::size_type rule) {
  std::string::size_type first_line_end = rule - 1;
  for (int lines = 0; lines < 3; ++lines) first_line_end = output.rfind('\n', first_line_end - 1);
  return first_line_end - (output[first_line_end - 1] == '%' ? 76 : 41);
}

std::vector<screen> Screens(const std::string& output) {
  std::vector<std::string::size_type> rules;
  for (auto at = output.find(kRule); at != std::string::npos; at = output.find(kRule, at + kRule.size())) {
    rules.push_back(at);
  }
  std::vector<screen> screens;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const auto header_start = HeaderStart(output, rules[i]);
    const auto body_start = rules[i] + kRule.size();
    const auto body_end = i + 1 < rules.size() ? HeaderStart(output, rules[i + 1]) : output.size();
    screens.push_back({output.substr(header_start, rules[i] - header_start),
                       output.substr(body_start, body_end - body_start)});
  }
  return screens;
}

std::string Menu(const std::string& prompt, const std::vector<std::string>& entries) {
  std::string text = prompt;
  for (const std::string& entry : entries) text += entry + "\n\t  ";
  return text;
}

void FillAux(actor& a) {
  for (int i = 3; i < 9; ++i) a.Stat(i)->mod(25600);
}

void ExpectSameNumbers(const actor& got, const actor& want) {
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(got.Stat(i)->name);
    EXPECT_EQ(got.Stat(i)->base, want.Stat(i)->base);
    EXPECT_EQ(got.Stat(i)->get(false), want.Stat(i)->get(false));
    EXPECT_EQ(got.Stat(i)->get_max(false), want.Stat(i)->get_max(false));
  }
  for (int k = 0; k < elements::kElementCount; ++k) {
    EXPECT_EQ(got.elements[k].value, want.elements[k].value) << elements::kElementNames[k];
  }
}

// A data file as loaded: races Nimisum, Protosum and Absum playable, Piyat
// not; careers Janitor (not playable), Warrior and Archer.
class ChargenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = std::make_unique<tov_file>();
    for (const race* r : {&examples::human, &examples::elf, &examples::dwarf, &examples::clown}) {
      file_->races.push_back(*r);
      file_->races.back().playable = r != &examples::clown;
    }
    for (const career* c : {&examples::janitor, &examples::warrior, &examples::archer}) {
      file_->careers.push_back(*c);
      file_->careers.back().playable = c != &examples::janitor;
    }
  }
  std::vector<screen> Run(const std::string& input, const std::function<void()>& screens) {
    test_support::ConsoleCapture capture(input);
    screens();
    output_ = capture.Output();
    return Screens(output_);
  }

  race& Race(int position) { return file_->races[static_cast<std::size_t>(position)]; }
  career& Career(int position) { return file_->careers[static_cast<std::size_t>(position)]; }

  std::unique_ptr<tov_file> file_;
  actor hero_;
  std::string output_;
};

// ---- Name and sex

TEST_F(ChargenTest, NameScreenAsksNameThenSexUnderOneHeader) {
  const auto screens = Run("Bob\nm\n", [&] { CharGen::Name(&hero_, 0); });
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(screens[0].header, kBlankHeader);
  EXPECT_EQ(screens[0].body, "\n\tWhat is your name?\n\t  \n\tWhat is your sex?\n\t  0) Male\n\t  1) Female\n\t  ");
  EXPECT_EQ(hero_.name.str(), "Bob");
  EXPECT_FALSE(hero_.female);
}

TEST_F(ChargenTest, TheNewlineLeftByANumericMenuIsNotTakenForTheName) {
  test_support::ConsoleCapture capture("3\n42\nF\n");
  EXPECT_EQ(input::ReadInt(), 3);
  CharGen::Name(&hero_, 0);
  EXPECT_EQ(hero_.name.str(), "42");
  EXPECT_TRUE(hero_.female);
}

TEST_F(ChargenTest, NamesAreTakenAsTyped) {
  // Only one newline counts as left over: a second empty line is a name.
  Run("\n\nm\n", [&] { CharGen::Name(&hero_, 0); });
  EXPECT_EQ(hero_.name.length, 0);
  EXPECT_EQ(hero_.name.str(), "");

  Run(std::string("Bo\0b\nm\n", 7), [&] { CharGen::Name(&hero_, 0); });
  EXPECT_EQ(hero_.name.str(), "Bo");

  Run("  Sir Lancelot the Brave  \nm\n", [&] { CharGen::Name(&hero_, 0); });
  EXPECT_EQ(hero_.name.str(), "  Sir Lancelot the Brave  ");

  // Too long for the length byte: the first 255 characters stay.
  Run(std::string(300, 'x') + "\nm\n", [&] { CharGen::Name(&hero_, 0); });
  EXPECT_EQ(hero_.name.str(), std::string(255, 'x'));
}

TEST_F(ChargenTest, SexAnswers) {
  struct {
    const char* answer;
    bool female;
  } const cases[] = {{"F", true},  {"f", true},  {"1", true},  {"Female", true}, {"female", true},
                     {"0", false}, {"m", false}, {"M", false}, {"2", false},     {"", false},
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
  EXPECT_EQ(screens[1].body, "\n        The Exceedingly L...\n" + Paragraph(odd.description, 8, 8, 2, 7) + "\n" +
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

  actor want;
  want.PickRace(&examples::elf);
  FillAux(want);
  ExpectSameNumbers(hero_, want);
  EXPECT_EQ(hero_.health.get(false), hero_.health.get_max(false)) << "the auxiliary stats are filled";
}

TEST_F(ChargenTest, ChoosingAnotherRaceTakesTheFirstOneBack) {
  Run("0\n1\n", [&] { CharGen::Race(&hero_, file_.get(), 1); });
  Run("2\n1\n", [&] { CharGen::Race(&hero_, file_.get(), 255); });
  EXPECT_EQ(hero_.race, &Race(2));
  actor want;
  want.PickRace(&examples::dwarf);
  FillAux(want);
  ExpectSameNumbers(hero_, want);
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
  EXPECT_EQ(screens[1].body, "\n        Arrow Slinger Ext...\n" + Paragraph(odd.description, 8, 8, 2, 7) + "\n" +
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

  actor want;
  want.PickRace(&examples::human);
  FillAux(want);
  want.PickCareer(&examples::archer);
  FillAux(want);
  ExpectSameNumbers(hero_, want);
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
      "3\n"        // custom
      "0\n10\n"    // Strength 10: all 6 tokens
      "0\n-2\n"    // Strength -2: 2 back
      "1\n-1\n"    // Wisdom -1: it has nothing to give back
      "3\n"        // tokens left: only a redraw
      "1\n0\n"     // an amount of 0
      "1\n2\n"     // Wisdom 2: none left
      "2\n5\n"     // nothing left to spend
      "3\n"        // finished
      "6\n"        // aux: tokens left, a redraw
      "5\n12\n"    // Accuracy takes them all
      "-1\n";      // finished
  const auto screens = Run(input, [&] { CharGen::Career(&hero_, file_.get(), 3); });
  EXPECT_EQ(Pools(screens), (std::vector<std::string>{"SWAg 6", "SWAg 0 finish", "SWAg 2", "SWAg 2", "SWAg 2",
                                                      "SWAg 2", "SWAg 0 finish", "SWAg 0 finish", "aux 12",
                                                      "aux 12", "aux 0 finish"}));
  const career& custom = file_->careers.back();
  EXPECT_EQ(custom.modifiers, (stat_modifiers{1024, 512, 0, 0, 0, 0, 0, 0, 3072}));
  EXPECT_EQ(output_.find("Is this correct?"), std::string::npos) << "a custom career has no preview";
}

TEST_F(ChargenTest, AllocationScreensShowTheProjectedStats) {
  hero_.PickRace(&Race(0));  // Nimisum: STR 1, WIS 2, AGI 2
  FillAux(hero_);
  std::vector<std::string> aux;
  for (int i = 3; i < 9; ++i) aux.push_back(std::to_string(hero_.Stat(i)->get(true)));
  const std::string reflex_after = std::to_string(hero_.reflex.get(true) + 12);

  const auto screens = Run("3\n1\n4\n0\n9\n-1\n3\n12\n7\n", [&] { CharGen::Career(&hero_, file_.get(), 3); });
  ASSERT_EQ(screens.size(), 6u);  // the career list first
  EXPECT_EQ(screens[1].body,
            "\n\tYou have 6 SWAg tokens.\t\t******\n\n\t  0) Strength  1\n\t  1) Wisdom    2\n\t  2) Agility   2"
            "\n\t  \n\t  Amount: ");
  EXPECT_EQ(screens[2].body,
            "\n\tYou have 2 SWAg tokens.\t\t**\n\n\t  0) Strength  1\n\t  1) Wisdom    6\n\t  2) Agility   2"
            "\n\t  \n\t  Amount: ");
  EXPECT_EQ(screens[3].body,
            "\n\tYou have 0 SWAg tokens.\t\t\n\n\t  0) Strength  3\n\t  1) Wisdom    6\n\t  2) Agility   2"
            "\n\n\t  3) Finished?\n\t  ");
  EXPECT_EQ(screens[4].body, "\n\tYou have 12 aux tokens.\t\t************\n\n\t  0) Health         " + aux[0] +
                                 "\n\t  1) Energy         " + aux[1] + "\n\t  2) Attack Damage  " + aux[2] +
                                 "\n\t  3) Reflex         " + aux[3] + "\n\t  4) Attack Speed   " + aux[4] +
                                 "\n\t  5) Accuracy       " + aux[5] + "\n\t  \n\t  Amount: ");
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
  EXPECT_EQ(screens[0].body, Menu("\n\tWhat is your career?\n\t  ", {"1) Warrior", "2) Archer", "", "4) Custom"}));
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

// ---- Aspects

TEST_F(ChargenTest, AspectsMenusAndPreview) {
  const auto screens = Run("0\n1\n0\n1\n", [&] { CharGen::Aspects(&hero_, 7); });
  ASSERT_EQ(screens.size(), 4u);
  EXPECT_EQ(screens[0].body, Menu("\n\tPick your poison:\n\t  ", {"0) Temperance", "1) Charity", "2) Diligence",
                                                                 "3) Kindness", "4) Chastity", "5) Patience",
                                                                 "6) Humility"}));
  const pstr<unsigned short> temperance(aspects::temperment.description);
  EXPECT_EQ(screens[1].body, "\n\tTemperance\n" + Paragraph(temperance, 8, 8, 2, 7) +
                                 "\n\n\tStrengthens: Water\n\tWeakens:     Fire\n" + kConfirm);
  EXPECT_EQ(screens[2].body, Menu("\n\tPick your poison:\n\t  ", {"0) Sloth", "1) Wrath", "2) Greed", "3) Gluttony",
                                                                 "4) Pride", "5) Envy", "6) Lust"}));
  EXPECT_EQ(hero_.virtue, &aspects::temperment);
  EXPECT_EQ(hero_.vice, &aspects::sloth);
}

TEST_F(ChargenTest, TemperanceOnNeutralElements) {
  const auto screens = Run("0\n1\n6\n1\n", [&] { CharGen::Aspects(&hero_, 255); });
  EXPECT_EQ(hero_.elements[0].value, 144 - 16 + 16) << "Lust does not touch Water";
  EXPECT_EQ(hero_.elements[3].value, 112);
  ASSERT_EQ(screens.size(), 4u);
  // The vice menu's header shows the virtue's effect in percent.
  EXPECT_NE(screens[2].header.find("WATER  112%"), std::string::npos) << screens[2].header;
  EXPECT_NE(screens[2].header.find("FIRE    87%"), std::string::npos) << screens[2].header;
  EXPECT_EQ(hero_.vice, &aspects::lust);
}

TEST_F(ChargenTest, OutOfRangeAspectNumbersRedrawTheMenu) {
  const auto screens = Run("7\n-1\n4294967296\n6\n1\n7\nx\n1\n", [&] { CharGen::Aspects(&hero_, 7); });
  ASSERT_EQ(screens.size(), 8u);
  EXPECT_EQ(screens[0].body, screens[1].body);
  EXPECT_EQ(screens[1].body, screens[2].body) << "-1 reads as a large number";
  EXPECT_EQ(screens[2].body, screens[3].body) << "so does a number past 32 bits, not as 0";
  EXPECT_EQ(hero_.virtue, &aspects::humility);
  EXPECT_EQ(screens[7].body.substr(0, 8), "\n\tSloth\n") << "not a number counts as 0";
  EXPECT_EQ(hero_.vice, &aspects::sloth);
}

TEST_F(ChargenTest, DecliningAVirtueOrViceAsksForThatOneAgain) {
  const auto screens = Run("1\n0\n2\n1\n3\n5\n4\n1\n", [&] { CharGen::Aspects(&hero_, 7); });
  ASSERT_EQ(screens.size(), 8u);
  EXPECT_NE(screens[2].body.find("0) Temperance"), std::string::npos) << "back to the virtues";
  EXPECT_NE(screens[6].body.find("0) Sloth"), std::string::npos) << "back to the vices only";
  EXPECT_EQ(hero_.virtue, &aspects::diligence);
  EXPECT_EQ(hero_.vice, &aspects::pride);

  actor want;
  want.PickVirtueVice(&aspects::diligence, &aspects::pride);
  ExpectSameNumbers(hero_, want);
}

TEST_F(ChargenTest, ReopeningTheAspectsTakesTheOldOnesBack) {
  hero_.PickRace(&Race(0));
  Run("3\n1\n2\n1\n", [&] { CharGen::Aspects(&hero_, 7); });
  Run("3\n1\n2\n1\n", [&] { CharGen::Aspects(&hero_, 255); });
  actor want;
  want.PickRace(&examples::human);
  want.PickVirtueVice(&aspects::kindness, &aspects::greed);
  ExpectSameNumbers(hero_, want);

  Run("4\n1\n5\n1\n", [&] { CharGen::Aspects(&hero_, 255); });
  actor changed;
  changed.PickRace(&examples::human);
  changed.PickVirtueVice(&aspects::chastity, &aspects::envy);
  ExpectSameNumbers(hero_, changed);
}

// ---- Review and the whole creation

const std::string kReviewMenu =
    "\n\tIs everything correct?\n\t  0) Name and Sex\n\t  1) Race\n\t  2) Career\n\t  3) Aspects of virtue and "
    "vice\n\t  \n\t  4) Complete\n\t  ";

// Name, sex, race 0, career 1, Temperance and Sloth, each confirmed.
const std::string kCreation = "Ayla\nf\n0\n1\n1\n1\n0\n1\n0\n1\n";

TEST_F(ChargenTest, TheHeaderFillsInScreenByScreen) {
  const auto screens = Run(kCreation + "4\n", [&] { CharGen::NewActor(&hero_, file_.get()); });
  ASSERT_EQ(screens.size(), 10u);
  EXPECT_EQ(screens[0].header, kBlankHeader);
  EXPECT_NE(screens[1].header.find("NAME    Ayla"), std::string::npos);
  EXPECT_EQ(screens[1].header.find("STR"), std::string::npos);
  EXPECT_NE(screens[3].header.find("RACE    Nimisum"), std::string::npos);
  EXPECT_NE(screens[3].header.find("STR"), std::string::npos);
  EXPECT_EQ(screens[3].header.find("CAREER"), std::string::npos);
  EXPECT_NE(screens[5].header.find("CAREER  Warrior"), std::string::npos);
  EXPECT_EQ(screens[5].header.find("WATER"), std::string::npos);
  EXPECT_NE(screens[9].header.find("WATER"), std::string::npos);
  EXPECT_NE(screens[9].header.find(" Temperance/Sloth"), std::string::npos);
  EXPECT_EQ(screens[9].body, kReviewMenu);
}

TEST_F(ChargenTest, CompletingAtOnceKeepsTheCharacterAsBuilt) {
  actor* result = nullptr;
  Run(kCreation + "4\n", [&] { result = CharGen::NewActor(&hero_, file_.get()); });
  EXPECT_EQ(result, &hero_);
  EXPECT_EQ(hero_.name.str(), "Ayla");
  EXPECT_TRUE(hero_.female);
  EXPECT_EQ(hero_.race, &Race(0));
  EXPECT_EQ(hero_.career, &Career(1));

  actor want;
  want.PickRace(&examples::human);
  FillAux(want);
  want.PickCareer(&examples::warrior);
  FillAux(want);
  want.PickVirtueVice(&aspects::temperment, &aspects::sloth);
  ExpectSameNumbers(hero_, want);
}

TEST_F(ChargenTest, ReviewNumbersOffTheMenuRedrawIt) {
  const auto screens = Run(kCreation + "5\n-1\n4\n", [&] { CharGen::NewActor(&hero_, file_.get()); });
  ASSERT_EQ(screens.size(), 12u);
  for (std::size_t i = 9; i < 12; ++i) EXPECT_EQ(screens[i].body, kReviewMenu);
}

TEST_F(ChargenTest, ChangingTheRaceOnReviewKeepsCareerAndAspects) {
  const auto screens = Run(kCreation + "1\n2\n1\n4\n", [&] { CharGen::NewActor(&hero_, file_.get()); });
  ASSERT_EQ(screens.size(), 13u);
  EXPECT_NE(screens[10].header.find(" Temperance/Sloth"), std::string::npos) << "the race list under the full header";
  EXPECT_NE(screens[10].body.find("What race are you?"), std::string::npos);
  EXPECT_EQ(hero_.race, &Race(2));
  EXPECT_EQ(hero_.career, &Career(1));
  EXPECT_EQ(hero_.virtue, &aspects::temperment);

  actor want;
  want.PickRace(&examples::dwarf);
  FillAux(want);
  want.PickCareer(&examples::warrior);
  FillAux(want);
  want.PickVirtueVice(&aspects::temperment, &aspects::sloth);
  ExpectSameNumbers(hero_, want);
}

TEST_F(ChargenTest, ReviewReopensNameCareerAndAspects) {
  const std::string input = kCreation +
                            "0\nBrea\nm\n"             // name and sex
                            "2\n3\n0\n6\n9\n0\n12\n9\n"  // a custom career
                            "2\n4\n0\n6\n9\n0\n12\n9\n"  // and another
                            "3\n6\n1\n6\n1\n"          // Humility and Lust
                            "4\n";
  Run(input, [&] { CharGen::NewActor(&hero_, file_.get()); });
  EXPECT_EQ(hero_.name.str(), "Brea");
  EXPECT_FALSE(hero_.female);
  EXPECT_EQ(file_->careers.size(), 5u);
  EXPECT_EQ(hero_.career, &file_->careers.back());
  EXPECT_EQ(hero_.virtue, &aspects::humility);
  EXPECT_EQ(hero_.vice, &aspects::lust);
}

TEST_F(ChargenTest, ANonNumberOnReviewOpensTheNameScreen) {
  Run(kCreation + "x\nCora\n1\n4\n", [&] { CharGen::NewActor(&hero_, file_.get()); });
  EXPECT_EQ(hero_.name.str(), "Cora");
  EXPECT_TRUE(hero_.female);
}

}  // namespace
