// Races, careers and actors: defaults, sizes, byte-exact file forms,
// reading back, deep copies and the actor's stat wiring.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>

#include "model/actor.h"
#include "model/aspect.h"
#include "model/career.h"
#include "model/race.h"
#include "support/test_support.h"

namespace {

using test_support::FileForm;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

std::string U16(unsigned v) { return Bytes({static_cast<int>(v & 0xFF), static_cast<int>(v >> 8)}); }

std::string U32(unsigned v) {
  return Bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24)});
}

const stat_modifiers kHumanLike = {256, 512, 512, 768, 768, 512, 512, 256, 256};

// --- races ----------------------------------------------------------------

TEST(Race, DefaultValues) {
  const race r;
  EXPECT_EQ(r.ID(), 0u);
  EXPECT_EQ(r.name.str(), "Thing");
  EXPECT_EQ(r.description.str(), "A thing.");
  EXPECT_EQ(r.name.prefix_width, 1u);
  EXPECT_EQ(r.description.prefix_width, 2u);
  EXPECT_EQ(r.playable, 0);
  EXPECT_EQ(r.virtue, nullptr);
  EXPECT_EQ(r.vice, nullptr);
  EXPECT_EQ(r.modifiers, (stat_modifiers{512, 512, 512, 1024, 1024, 1024, 1024, 1024, 1024}));
  EXPECT_EQ(r.Size(), 41u);
}

TEST(Race, DefaultFileFormIsFortyThreeBytes) {
  std::string expected = U16(41) + U32(0) + "\x05Thing" + U16(8) + "A thing." + Bytes({0, 0, 0});
  for (int i = 0; i < 3; ++i) expected += U16(512);
  for (int i = 0; i < 6; ++i) expected += U16(1024);
  EXPECT_EQ(expected.size(), 43u);
  EXPECT_EQ(FileForm(race()), expected);
}

TEST(Race, FileFormFieldOrder) {
  race r(0x0A0B0C0D, "Goblin", std::string(37, 'd').c_str(), &aspects::diligence, &aspects::envy,
         {1, 2, 3, 4, 5, 6, 7, 8, 0xFFFF});
  r.playable = 1;
  EXPECT_EQ(r.Size(), 71u);
  const std::string expected = U16(71) + Bytes({0x0D, 0x0C, 0x0B, 0x0A}) + "\x06Goblin" + U16(37) +
                               std::string(37, 'd') + Bytes({1, 2, 5}) + U16(1) + U16(2) + U16(3) + U16(4) +
                               U16(5) + U16(6) + U16(7) + U16(8) + U16(0xFFFF);
  EXPECT_EQ(FileForm(r), expected);
  EXPECT_EQ(FileForm(r).size(), 73u);
}

TEST(Race, ReadsBackEveryField) {
  race source(9, "Nimisum", "Long description.", &aspects::kindness, &aspects::greed, kHumanLike);
  source.playable = 1;
  std::istringstream in(FileForm(source) + "Z");
  race r;
  in >> r;
  EXPECT_EQ(r.ID(), 9u);
  EXPECT_EQ(r.name.str(), "Nimisum");
  EXPECT_EQ(r.description.str(), "Long description.");
  EXPECT_EQ(r.playable, 1);
  EXPECT_EQ(r.virtue, &aspects::kindness);
  EXPECT_EQ(r.vice, &aspects::greed);
  EXPECT_EQ(r.modifiers, kHumanLike);
  EXPECT_EQ(in.get(), 'Z');
  EXPECT_EQ(FileForm(r), FileForm(source));
}

TEST(Race, AspectBytesOutOfRangeReadAsTheSeventh) {
  race source(1, "R", "D", &aspects::kindness, &aspects::greed, kHumanLike);
  std::string bytes = FileForm(source);
  // name 1+1, description 2+1: the aspect bytes follow playable at 6+2+3+1.
  ASSERT_EQ(bytes[12], 3);
  ASSERT_EQ(bytes[13], 2);
  bytes[12] = 9;
  bytes[13] = static_cast<char>(0xFF);
  std::istringstream in(bytes);
  race r;
  in >> r;
  EXPECT_EQ(r.virtue, &aspects::humility);
  EXPECT_EQ(r.vice, &aspects::lust);
}

TEST(Race, LongDescriptionKeepsTheFullSize) {
  const std::string text(65535, 'x');
  const race r(0, "Goblin", text.c_str(), &aspects::diligence, &aspects::envy, kHumanLike);
  EXPECT_EQ(r.Size(), 6u + 1 + 65535 + 2 + 25);
  const std::string bytes = FileForm(r);
  EXPECT_EQ(bytes.size(), 73u + 65535 - 37);
  EXPECT_EQ(bytes.substr(0, 2), U16(r.Size() & 0xFFFF));
}

TEST(Race, CopiesOwnTheirTexts) {
  auto source =
      std::make_unique<race>(3, "Piyat", "Arcane folk.", &aspects::humility, &aspects::gluttony, kHumanLike);
  race assigned;
  assigned = *source;
  const race constructed(*source);
  EXPECT_NE(assigned.name.data, source->name.data);
  EXPECT_NE(constructed.description.data, source->description.data);
  source->name.data[1] = 'Q';
  source.reset();
  for (const race* r : std::initializer_list<const race*>{&assigned, &constructed}) {
    EXPECT_EQ(r->ID(), 3u);
    EXPECT_EQ(r->name.str(), "Piyat");
    EXPECT_EQ(r->description.str(), "Arcane folk.");
    EXPECT_EQ(r->virtue, &aspects::humility);
    EXPECT_EQ(r->vice, &aspects::gluttony);
    EXPECT_EQ(r->modifiers, kHumanLike);
  }
}

TEST(Race, ConsoleFormDropsTheTextPrefixes) {
  const race r(0, "Ab", "Cd", &aspects::charity, &aspects::wrath, kHumanLike);
  test_support::ConsoleCapture capture;
  std::cout << r;
  const std::string shown = capture.Output();
  EXPECT_EQ(shown.size(), FileForm(r).size() - 3);
  EXPECT_EQ(shown.substr(6, 4), "AbCd");
}

// --- careers --------------------------------------------------------------

TEST(Career, DefaultFileFormIsEightyFourBytes) {
  const career c;
  EXPECT_EQ(c.ID(), 0u);
  EXPECT_EQ(c.name.str(), "Janitor");
  EXPECT_EQ(c.description.str(), "This rag technician will sweep you off your feet!");
  EXPECT_EQ(c.playable, 0);
  EXPECT_EQ(c.modifiers, stat_modifiers{});
  EXPECT_EQ(c.Size(), 82u);
  const std::string expected = Bytes({0x52, 0}) + U32(0) + "\x07Janitor" + Bytes({0x31, 0}) +
                               "This rag technician will sweep you off your feet!" + std::string(19, '\0');
  EXPECT_EQ(expected.size(), 84u);
  EXPECT_EQ(FileForm(c), expected);
}

TEST(Career, FileFormOfASmallCareer) {
  const career c(0x11223344, "Monk", "Fists up", {256, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(c.Size(), 38u);
  const std::string expected = U16(38) + U32(0x11223344) + "\x04Monk" + U16(8) + "Fists up" +
                               Bytes({0, 0x00, 0x01}) + std::string(16, '\0');
  EXPECT_EQ(FileForm(c), expected);
  EXPECT_EQ(FileForm(c).size(), 40u);
}

TEST(Career, ReadsBackAndCopiesDeeply) {
  career source(14, "Goblin Thief", "Nimble.", {256, 384, 384, 256, 512, 256, 768, 768, 768});
  source.playable = 3;
  std::istringstream in(FileForm(source) + "!");
  career read;
  in >> read;
  EXPECT_EQ(read.ID(), 14u);
  EXPECT_EQ(read.name.str(), "Goblin Thief");
  EXPECT_EQ(read.description.str(), "Nimble.");
  EXPECT_EQ(read.playable, 3);
  EXPECT_EQ(read.modifiers, source.modifiers);
  EXPECT_EQ(in.get(), '!');

  career assigned;
  assigned = source;
  const career constructed(source);
  source = career();
  EXPECT_EQ(assigned.name.str(), "Goblin Thief");
  EXPECT_EQ(constructed.description.str(), "Nimble.");
  EXPECT_EQ(FileForm(assigned), FileForm(read));
  EXPECT_EQ(FileForm(constructed), FileForm(read));
}

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

TEST(Actor, DefaultValues) {
  const actor a;
  EXPECT_EQ(a.id, 0u);
  EXPECT_EQ(a.name.str(), "JOHN DOE");
  EXPECT_FALSE(a.female);
  EXPECT_FALSE(a.player_controlled);
  EXPECT_EQ(a.race, nullptr);
  EXPECT_EQ(a.career, nullptr);
  EXPECT_EQ(a.virtue, nullptr);
  EXPECT_EQ(a.vice, nullptr);
  EXPECT_EQ(a.race_id, 0u);
  EXPECT_EQ(a.career_id, 0u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(a.Stat(i)->base, 0);
    EXPECT_EQ(a.Stat(i)->wound, 0);
    EXPECT_EQ(a.Stat(i)->current, 0);
  }
  EXPECT_EQ(a.strength.growth, 0);
  for (const element& e : a.elements) EXPECT_EQ(e.get(), 128);
  ExpectWired(a);
  EXPECT_EQ(a.Size(), 92u);
}

TEST(Actor, DefaultFileFormIsNinetyFourBytes) {
  const std::string expected = Bytes({0x5C, 0}) + U32(0) + "\x08JOHN DOE" + std::string(12, '\0') +
                               std::string(24 + 36, '\0') + std::string(7, '\x80');
  EXPECT_EQ(expected.size(), 94u);
  EXPECT_EQ(FileForm(actor()), expected);
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

TEST_F(WorkedExample, CopyConstructionWiresItsOwnStats) {
  a.Restore();
  const actor copy(a);
  EXPECT_EQ(FileForm(copy), FileForm(a));
  ExpectWired(copy);
  actor moved_from(a);
  const actor moved(std::move(moved_from));
  ExpectWired(moved);
  EXPECT_EQ(FileForm(moved), FileForm(a));
}

TEST(Actor, SizeFollowsTheNameLength) {
  const std::string long_name(255, 'n');
  const actor a(1, long_name.c_str(), false, nullptr, nullptr, &aspects::patience, &aspects::envy);
  EXPECT_EQ(a.Size(), 339u);
  EXPECT_EQ(FileForm(a).size(), 341u);
  EXPECT_EQ(FileForm(a).substr(0, 2), U16(339));

  // A longer name keeps its first 255 characters rather than wrapping.
  const std::string longer = long_name + "xyz";
  const actor b(2, longer.c_str(), false, nullptr, nullptr, &aspects::patience, &aspects::envy);
  EXPECT_EQ(b.name.length, 255);
  EXPECT_EQ(b.name.str(), long_name);
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

}  // namespace
