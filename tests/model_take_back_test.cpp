// Taking back an actor's race, career and aspects, as changing a choice
// during character creation does.

#include <gtest/gtest.h>

#include <string>

#include "model/actor.h"
#include "model/aspect.h"
#include "model/career.h"
#include "model/race.h"
#include "support/test_support.h"

namespace {

using test_support::FileForm;

// Maxima and elements: what a pick adds. Current values also depend on
// when the auxiliaries were filled, which is the screens' business.
void ExpectSameMaxima(const actor& got, const actor& want) {
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(got.Stat(i)->base, want.Stat(i)->base) << got.Stat(i)->name;
    EXPECT_EQ(got.Stat(i)->get_max(false), want.Stat(i)->get_max(false)) << got.Stat(i)->name;
  }
  for (int k = 0; k < elements::kElementCount; ++k) {
    EXPECT_EQ(got.elements[k].get(), want.elements[k].get()) << elements::kElementNames[k];
  }
}

struct TakeBack : ::testing::Test {
  race first{0, "Nimisum", "", &aspects::kindness, &aspects::greed, {256, 512, 512, 768, 768, 512, 512, 256, 256}};
  race second{1, "Absum", "", &aspects::patience, &aspects::wrath, {768, 0, 256, 1280, 0, 256, 0, 512, 0}};
  career warrior{1, "Warrior", "", {512, 0, 256, 1024, 0, 768, 0, 0, 0}};
  career archer{2, "Archer", "", {0, 256, 512, 0, 256, 0, 512, 0, 1024}};
};

TEST_F(TakeBack, ChangingRaceOrCareerKeepsTheOtherPicks) {
  actor hero;
  hero.PickRace(&first);
  hero.PickCareer(&warrior);
  hero.PickVirtueVice(&aspects::temperment, &aspects::sloth);
  hero.UnpickRace();
  // Still named until the next pick, so the sheet can show it meanwhile.
  EXPECT_EQ(hero.race, &first);
  hero.PickRace(&second);
  hero.UnpickCareer();
  EXPECT_EQ(hero.career, &warrior);
  hero.PickCareer(&archer);

  actor want;
  want.PickRace(&second);
  want.PickCareer(&archer);
  want.PickVirtueVice(&aspects::temperment, &aspects::sloth);
  ExpectSameMaxima(hero, want);
}

TEST_F(TakeBack, NothingPickedNothingTakenBack) {
  actor hero;
  const std::string before = FileForm(hero);
  hero.UnpickRace();
  hero.UnpickCareer();
  hero.UnpickVirtueVice(nullptr, nullptr);
  EXPECT_EQ(FileForm(hero), before);
}

TEST(TakeBackAspects, UndoesEveryPairAwayFromTheLimits) {
  for (int v = 0; v < 7; ++v) {
    for (int w = 0; w < 7; ++w) {
      const aspect* virtue = aspects::FindVirtue(v);
      const aspect* vice = aspects::FindVice(w);
      actor hero;
      hero.PickVirtueVice(virtue, vice);
      hero.UnpickVirtueVice(virtue, vice);
      ExpectSameMaxima(hero, actor());
    }
  }
}

}  // namespace
