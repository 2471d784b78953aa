// Character creation: the aspects screen, the review menu and the whole flow.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character_creation/chargen.h"
#include "console/text_layout.h"
#include "support/chargen_screens.h"
#include "support/test_support.h"

namespace {

using namespace chargen_test;

// ---- Aspects

TEST_F(ChargenTest, AspectsMenusAndPreview) {
  const auto screens = Run("0\n1\n0\n1\n", [&] { CharGen::Aspects(&hero_, 7); });
  ASSERT_EQ(screens.size(), 4u);
  EXPECT_EQ(screens[0].body,
            Menu("\n\tPick your poison:\n\t  ", {"0) Temperance", "1) Charity", "2) Diligence", "3) Kindness",
                                                 "4) Chastity", "5) Patience", "6) Humility"}));
  const pstr<unsigned short> temperance(aspects::temperment.description);
  EXPECT_EQ(screens[1].body, "\n\tTemperance\n" + Paragraph(temperance, 8, 8, 2, 7) +
                                 "\n\n\tStrengthens: Water\n\tWeakens:     Fire\n" + kConfirm);
  EXPECT_EQ(screens[2].body,
            Menu("\n\tPick your poison:\n\t  ",
                 {"0) Sloth", "1) Wrath", "2) Greed", "3) Gluttony", "4) Pride", "5) Envy", "6) Lust"}));
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
    "\n\tIs everything correct?\n\t  0) Name and Sex\n\t  1) Race\n\t  2) Career\n\t  3) Aspects of virtue "
    "and "
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

  ExpectMadeOf(hero_, &examples::human, &examples::warrior, &aspects::temperment, &aspects::sloth);
}

TEST_F(ChargenTest, ReviewNumbersOffTheMenuRedrawIt) {
  const auto screens = Run(kCreation + "5\n-1\n4\n", [&] { CharGen::NewActor(&hero_, file_.get()); });
  ASSERT_EQ(screens.size(), 12u);
  for (std::size_t i = 9; i < 12; ++i) EXPECT_EQ(screens[i].body, kReviewMenu);
}

TEST_F(ChargenTest, ChangingTheRaceOnReviewKeepsCareerAndAspects) {
  const auto screens = Run(kCreation + "1\n2\n1\n4\n", [&] { CharGen::NewActor(&hero_, file_.get()); });
  ASSERT_EQ(screens.size(), 13u);
  EXPECT_NE(screens[10].header.find(" Temperance/Sloth"), std::string::npos)
      << "the race list under the full header";
  EXPECT_NE(screens[10].body.find("What race are you?"), std::string::npos);
  EXPECT_EQ(hero_.race, &Race(2));
  EXPECT_EQ(hero_.career, &Career(1));
  EXPECT_EQ(hero_.virtue, &aspects::temperment);

  ExpectMadeOf(hero_, &examples::dwarf, &examples::warrior, &aspects::temperment, &aspects::sloth);
}

TEST_F(ChargenTest, ReviewReopensNameCareerAndAspects) {
  const std::string input = kCreation +
                            "0\nBrea\nm\n"               // name and sex
                            "2\n3\n0\n6\n9\n0\n12\n9\n"  // a custom career
                            "2\n4\n0\n6\n9\n0\n12\n9\n"  // and another
                            "3\n6\n1\n6\n1\n"            // Humility and Lust
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
