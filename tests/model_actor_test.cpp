// Actors: defaults, the worked example of race, career and aspects, sizes,
// byte-exact file forms, reading back, copies, the stat wiring, and taking
// back a race, career or aspects as changing a choice during creation does.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/actor.h"
#include "model/aspect.h"
#include "model/career.h"
#include "model/race.h"
#include "support/bytes.h"
#include "support/test_support.h"

namespace {

using test_support::FileForm;
using test_support::Bytes;
using test_support::U16;
using test_support::U32;

const stat_modifiers kHumanLike = {256, 512, 512, 768, 768, 512, 512, 256, 256};

// --- actors ---------------------------------------------------------------

void ExpectWired(const actor& a) {
  const char* const names[9] = {"Strength",      "Wisdom", "Agility",   "Health",   "Energy",
                                "Attack Damage", "Reflex", "Dexterity", "Precision"};
  for (int i = 0; i < 9; ++i) EXPECT_STREQ(a.Stat(i)->name, names[i]) << i;
  EXPECT_EQ(a.Stat(9), nullptr);
  EXPECT_EQ(a.Stat(-1), nullptr);

  EXPECT_EQ(a.health.dom(), &a.strength);
  EXPECT_EQ(a.health.rec(), &a.agility);
  EXPECT_EQ(a.energy.dom(), &a.wisdom);
  EXPECT_EQ(a.energy.rec(), &a.strength);
  EXPECT_EQ(a.attack_damage.dom(), &a.strength);
  EXPECT_EQ(a.attack_damage.rec(), &a.wisdom);
  EXPECT_EQ(a.reflex.dom(), &a.agility);
  EXPECT_EQ(a.reflex.rec(), &a.wisdom);
  EXPECT_EQ(a.dexterity.dom(), &a.agility);
  EXPECT_EQ(a.dexterity.rec(), &a.strength);
  EXPECT_EQ(a.precision.dom(), &a.wisdom);
  EXPECT_EQ(a.precision.rec(), &a.agility);

  const stat_aux* const str_links[4] = {&a.health, &a.attack_damage, &a.energy, &a.dexterity};
  const stat_aux* const wis_links[4] = {&a.energy, &a.precision, &a.attack_damage, &a.reflex};
  const stat_aux* const agi_links[4] = {&a.reflex, &a.dexterity, &a.health, &a.precision};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(a.strength.links[i], str_links[i]) << i;
    EXPECT_EQ(a.wisdom.links[i], wis_links[i]) << i;
    EXPECT_EQ(a.agility.links[i], agi_links[i]) << i;
  }
  for (int k = 0; k < 7; ++k) EXPECT_STREQ(a.elements[k].name, elements::kElementNames[k]) << k;
}

TEST(Actor, DefaultFileFormIsNinetyFourBytes) {
  const actor a;
  EXPECT_EQ(a.race, nullptr);
  EXPECT_EQ(a.career, nullptr);
  EXPECT_EQ(a.virtue, nullptr);
  EXPECT_EQ(a.vice, nullptr);
  ExpectWired(a);
  EXPECT_EQ(a.Size(), 92u);
  const std::string expected = Bytes({0x5C, 0}) + U32(0) + "\x08JOHN DOE" + std::string(12, '\0') +
                               std::string(24 + 36, '\0') + std::string(7, '\x80');
  EXPECT_EQ(expected.size(), 94u);
  EXPECT_EQ(FileForm(a), expected);
}

// The race and career and aspects of the worked example: a human-like race
// with Kindness and Greed, a career without bonuses, Temperance and Sloth.
struct WorkedExample : ::testing::Test {
  race r{0, "Nimisum", "Soft features.", &aspects::kindness, &aspects::greed, kHumanLike};
  career c{5, "Plain", "No bonuses.", {}};
  actor a{7, "Hero", true, &r, &c, &aspects::temperment, &aspects::sloth};
};

TEST_F(WorkedExample, ConstructionAppliesRaceCareerAndAspects) {
  EXPECT_EQ(a.id, 7u);
  EXPECT_EQ(a.name.str(), "Hero");
  EXPECT_TRUE(a.female);
  EXPECT_FALSE(a.player_controlled);
  EXPECT_EQ(a.race, &r);
  EXPECT_EQ(a.career, &c);
  EXPECT_EQ(a.race_id, 0u);
  EXPECT_EQ(a.career_id, 5u);
  EXPECT_EQ(a.virtue, &aspects::temperment);
  EXPECT_EQ(a.vice, &aspects::sloth);

  EXPECT_EQ(a.strength.base, 256);
  EXPECT_EQ(a.strength.current, 256);
  EXPECT_EQ(a.wisdom.base, 512);
  EXPECT_EQ(a.wisdom.current, 512);
  EXPECT_EQ(a.agility.base, 512);
  EXPECT_EQ(a.agility.current, 512);

  const struct {
    const stat_aux* stat;
    unsigned short current;
    unsigned short max;
  } aux[] = {{&a.health, 768, 1280}, {&a.energy, 768, 1408},   {&a.attack_damage, 512, 1024},
             {&a.reflex, 512, 1280}, {&a.dexterity, 256, 896}, {&a.precision, 256, 1024}};
  for (const auto& row : aux) {
    EXPECT_EQ(row.stat->base, row.current) << row.stat->name;
    EXPECT_EQ(row.stat->current, row.current) << row.stat->name;
    EXPECT_EQ(row.stat->get_max(false), row.max) << row.stat->name;
  }

  const unsigned char expected[7] = {160, 112, 128, 128, 128, 112, 128};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(a.elements[k].get(), expected[k]) << elements::kElementNames[k];
  ExpectWired(a);
}

TEST_F(WorkedExample, RestoreFillsPrimariesFirst) {
  a.strength.Damage(100);
  a.health.Damage(300);
  a.Restore();
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(a.Stat(i)->current, a.Stat(i)->get_max(false)) << a.Stat(i)->name;
    EXPECT_EQ(a.Stat(i)->wound, 0) << a.Stat(i)->name;
  }
  EXPECT_EQ(a.strength.current, 256);
  EXPECT_EQ(a.health.current, 1280);
  EXPECT_EQ(a.energy.current, 1408);
  EXPECT_EQ(a.precision.current, 1024);
}

TEST_F(WorkedExample, PickingARaceAgainAddsAgain) {
  a.PickRace(&r);
  EXPECT_EQ(a.strength.base, 512);
  EXPECT_EQ(a.health.base, 1536);
  EXPECT_EQ(a.elements[3].get(), 144);  // Fire: Kindness once more
  EXPECT_EQ(a.elements[1].get(), 96);   // Wind: Greed once more
  // The race's aspects act on the elements only.
  EXPECT_EQ(a.virtue, &aspects::temperment);
  EXPECT_EQ(a.vice, &aspects::sloth);
}

TEST_F(WorkedExample, CareerBonusesFollowTheRaceOnes) {
  const career strong(2, "Strong", "", {512, 0, 0, 256, 0, 0, 0, 0, 0});
  a.PickCareer(&strong);
  EXPECT_EQ(a.career, &strong);
  EXPECT_EQ(a.career_id, 2u);
  EXPECT_EQ(a.strength.base, 768);
  EXPECT_EQ(a.strength.current, 768);
  EXPECT_EQ(a.health.base, 1024);
  EXPECT_EQ(a.health.current, 1024);
  const unsigned char expected[7] = {160, 112, 128, 128, 128, 112, 128};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(a.elements[k].get(), expected[k]);
}

TEST_F(WorkedExample, AssignmentCopiesValuesAndKeepsTheTargetsWiring) {
  a.Restore();
  a.strength.Level(256);
  a.player_controlled = true;
  a.elements[4].set(200);

  actor target;
  target = a;
  EXPECT_EQ(FileForm(target), FileForm(a));
  EXPECT_EQ(target.race, &r);
  EXPECT_EQ(target.career, &c);
  EXPECT_EQ(target.virtue, &aspects::temperment);
  EXPECT_NE(target.name.data, a.name.data);
  ExpectWired(target);

  const unsigned short source_health = a.health.current;
  target.strength.Level(2000);
  EXPECT_GT(target.health.current, source_health);
  EXPECT_EQ(a.health.current, source_health);

  const actor& same = target;
  target = same;
  EXPECT_EQ(target.name.str(), "Hero");
  ExpectWired(target);
}

TEST(Actor, SizeFollowsTheNameLength) {
  const std::string long_name(255, 'n');
  const actor a(1, long_name.c_str(), false, nullptr, nullptr, &aspects::patience, &aspects::envy);
  EXPECT_EQ(a.Size(), 339u);
  EXPECT_EQ(FileForm(a).size(), 341u);
  EXPECT_EQ(FileForm(a).substr(0, 2), U16(339));
}

TEST(Actor, FileFormFieldOrder) {
  actor a(0x01020304, "Al", true, nullptr, nullptr, &aspects::patience, &aspects::greed);
  a.player_controlled = true;
  a.race_id = 7;
  a.career_id = 0x0D0C0B0A;
  for (int i = 0; i < 9; ++i) {
    stat_base* s = a.Stat(i);
    s->base = static_cast<unsigned short>(0x0100 * (i + 1) + 1);
    s->wound = static_cast<unsigned short>(0x0100 * (i + 1) + 2);
    s->current = static_cast<unsigned short>(0x0100 * (i + 1) + 3);
  }
  a.strength.growth = 0x0104;
  a.wisdom.growth = 0x0204;
  a.agility.growth = 0x0304;
  for (int k = 0; k < 7; ++k) a.elements[k].set(static_cast<unsigned char>(0xE0 + k));

  std::string expected = U16(86) + Bytes({4, 3, 2, 1}) +
                         "\x02"
                         "Al" +
                         Bytes({1, 1}) + U32(7) + Bytes({0x0A, 0x0B, 0x0C, 0x0D}) + Bytes({5, 2});
  for (int i = 0; i < 3; ++i) expected += Bytes({1, i + 1, 2, i + 1, 3, i + 1, 4, i + 1});
  for (int i = 3; i < 9; ++i) expected += Bytes({1, i + 1, 2, i + 1, 3, i + 1});
  for (int k = 0; k < 7; ++k) expected += Bytes({0xE0 + k});
  EXPECT_EQ(expected.size(), 88u);
  EXPECT_EQ(FileForm(a), expected);

  // Reading gives the same record back, wired to itself.
  std::istringstream in(expected + "#");
  actor back;
  in >> back;
  EXPECT_EQ(FileForm(back), expected);
  EXPECT_EQ(back.virtue, &aspects::patience);
  EXPECT_EQ(back.vice, &aspects::greed);
  EXPECT_TRUE(back.female);
  EXPECT_TRUE(back.player_controlled);
  EXPECT_EQ(in.get(), '#');
  ExpectWired(back);
}

TEST(Actor, FileFormTakesTheStoredIdentifiersNotThePointers) {
  const race r(3, "R", "D", &aspects::kindness, &aspects::greed, kHumanLike);
  const career c(4, "C", "D", {});
  actor a(0, "A", false, &r, &c, &aspects::charity, &aspects::wrath);
  a.race_id = 30;
  a.career_id = 40;
  const std::string bytes = FileForm(a);
  EXPECT_EQ(bytes.substr(10, 8), U32(30) + U32(40));
}

TEST(Actor, ReadingLeavesRaceAndCareerForTheDataFile) {
  std::string bytes = FileForm(actor());
  // "JOHN DOE" has 8 characters: the aspect bytes are at 25 and 26.
  bytes[25] = 0;
  bytes[26] = 6;
  const race r;
  const career c;
  actor a;
  a.race = &r;
  a.career = &c;
  a.virtue = &aspects::humility;
  std::istringstream in(bytes);
  in >> a;
  EXPECT_EQ(a.virtue, &aspects::temperment);
  EXPECT_EQ(a.vice, &aspects::lust);
  EXPECT_EQ(a.race, &r);
  EXPECT_EQ(a.career, &c);

  bytes[25] = 42;
  bytes[26] = static_cast<char>(0xFF);
  std::istringstream odd(bytes);
  odd >> a;
  EXPECT_EQ(a.virtue, &aspects::humility);
  EXPECT_EQ(a.vice, &aspects::lust);
}

TEST(Actor, ConsoleFormChangesOnlyTheName) {
  // Only the name loses its prefix; stats and elements keep their bytes.
  actor a(3, "Bo", false, nullptr, nullptr, &aspects::kindness, &aspects::sloth);
  a.strength.base = 3840;
  a.strength.current = 3200;
  a.health.base = 512;
  std::string expected = FileForm(a);
  expected.erase(6, 1);
  test_support::ConsoleCapture capture;
  std::cout << a;
  EXPECT_EQ(capture.Output(), expected);
}

TEST(Actor, ReadingReplacesTheName) {
  actor source(0, "A much longer name than before", false, nullptr, nullptr, nullptr, nullptr);
  actor target;
  std::istringstream in(FileForm(source));
  in >> target;
  EXPECT_EQ(target.name.str(), "A much longer name than before");
  EXPECT_EQ(target.Size(), source.Size());
}

// --- taking picks back ----------------------------------------------------

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
  race first{
      0, "Nimisum", "", &aspects::kindness, &aspects::greed, {256, 512, 512, 768, 768, 512, 512, 256, 256}};
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
