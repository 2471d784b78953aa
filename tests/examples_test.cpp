// The built-in example world, value by value.

#include "game/examples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using aspects::FindVice;
using aspects::FindVirtue;

// Modifiers in half points, as the content tables give them (1.5 is 3).
using halves = std::array<int, 9>;

stat_modifiers FromHalves(const halves& h) {
  stat_modifiers m{};
  for (int i = 0; i < 9; ++i) m[i] = static_cast<unsigned short>(h[i] * 128);
  return m;
}

struct RaceRow {
  const race* object;
  const char* name;
  const aspect* virtue;
  const aspect* vice;
  halves bonuses;
  const char* opening;
  std::size_t length;
};

const RaceRow kRaces[] = {
    {&examples::human,
     "Nimisum",
     &aspects::kindness,
     &aspects::greed,
     {2, 4, 4, 6, 6, 4, 4, 2, 2},
     "Nimisum are the youngest race with soft features and an olive complexion.",
     327},
    {&examples::elf,
     "Protosum",
     &aspects::chastity,
     &aspects::pride,
     {4, 4, 2, 4, 8, 4, 4, 0, 4},
     "Protosum are tall with a golden complexion defined by sharp features and long ears.",
     351},
    {&examples::dwarf,
     "Absum",
     &aspects::diligence,
     &aspects::wrath,
     {6, 2, 2, 6, 2, 10, 2, 4, 0},
     "With fiery rage and shrieking battlecries, an Absum's presence is twice their stature.",
     294},
    {&examples::clown,
     "Piyat",
     &aspects::humility,
     &aspects::gluttony,
     {2, 6, 2, 6, 10, 2, 0, 2, 4},
     "Piyat are natural masters of the arcane, and it has a profound effect on their way of living.",
     397},
    {&examples::furry,
     "Canis",
     &aspects::temperment,
     &aspects::lust,
     {4, 2, 4, 0, 4, 6, 6, 6, 2},
     "Canis are the burly, seafaring folk of the western coasts and islands.",
     403},
    {&examples::harpie,
     "Kiipeto",
     &aspects::charity,
     &aspects::sloth,
     {2, 4, 4, 2, 0, 2, 8, 4, 8},
     "E girls. Winged but dislike flying more than necessary.",
     149},
    {&examples::lizzie,
     "Skink",
     &aspects::patience,
     &aspects::envy,
     {2, 2, 6, 2, 4, 0, 6, 8, 4},
     "Live on their own or in small tribes. Very toxic and miserable. Crab in a bucket mentality.",
     91},
    {&examples::goblin,
     "Goblin",
     &aspects::diligence,
     &aspects::envy,
     {2, 1, 3, 2, 4, 4, 2, 6, 2},
     "Stinky fodder for adventures to kill.",
     37},
};

struct CareerRow {
  const career* object;
  const char* name;
  const char* description;  // null where only the length is fixed
  std::size_t length;
  halves bonuses;
};

const CareerRow kCareers[] = {
    {&examples::janitor,
     "Janitor",
     "This rag technician will sweep you off your feet!",
     49,
     {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {&examples::warrior, "Warrior", "Big guy.", 8, {8, 2, 2, 6, 2, 6, 2, 2, 6}},
    {&examples::archer, "Archer", "Arrow go boioioioioing.", 23, {6, 4, 2, 2, 6, 6, 2, 2, 6}},
    {&examples::agent, "Agent", nullptr, 17, {6, 2, 4, 4, 4, 2, 6, 4, 4}},
    {&examples::berserker, "Berserker", "Grahgrghrhgah!", 14, {6, 0, 6, 2, 6, 4, 0, 8, 4}},
    {&examples::battlemage, "Battlemage", "Strong and powerful.", 20, {6, 6, 0, 2, 6, 4, 2, 2, 8}},
    {&examples::mage, "Mage", "Magically magical.", 18, {2, 8, 2, 2, 8, 2, 4, 4, 4}},
    {&examples::spellsword, "Spellsword", "Enchanted swords with magic.", 28, {4, 6, 2, 4, 6, 4, 4, 4, 2}},
    {&examples::nightblade,
     "Healer",
     "Mage specializing in recovery near the front line.",
     50,
     {2, 6, 4, 2, 6, 4, 6, 2, 4}},
    {&examples::illusionist, "Illusionist", "Illusionist.", 12, {0, 6, 6, 0, 8, 2, 6, 4, 4}},
    {&examples::thief, "Thief", "Sneaky sneaky!", 14, {2, 2, 8, 2, 2, 2, 6, 6, 6}},
    {&examples::rogue, "Rogue", "Muscle.", 7, {4, 2, 6, 2, 2, 6, 6, 2, 6}},
    {&examples::spellprobe, "Spellprobe", "A touch of magic to open locks.", 31, {2, 4, 6, 2, 2, 2, 4, 6, 8}},
    {&examples::gob_warrior, "Goblin Warrior", "Grunt.", 6, {3, 2, 2, 6, 4, 6, 4, 2, 2}},
    {&examples::gob_thief, "Goblin Thief", nullptr, 17, {2, 3, 3, 2, 4, 2, 6, 6, 6}},
};

struct ActorRow {
  actor* object;
  const char* name;
  bool female;
  const race* origin;
  const career* profession;
  const aspect* virtue;
  const aspect* vice;
};

const ActorRow kActors[] = {
    {&examples::bob, "Bob", false, &examples::human, &examples::janitor, &aspects::kindness, &aspects::sloth},
    {&examples::john, "John", false, &examples::dwarf, &examples::warrior, &aspects::diligence,
     &aspects::wrath},
    {&examples::herbert, "Herbert", false, &examples::clown, &examples::mage, &aspects::humility,
     &aspects::lust},
    {&examples::janet, "Janet", true, &examples::lizzie, &examples::thief, &aspects::patience,
     &aspects::greed},
    {&examples::goblin01, "Tough Goblin", false, &examples::goblin, &examples::gob_warrior,
     &aspects::diligence, &aspects::envy},
    {&examples::goblin02, "Scrawny Goblin", false, &examples::goblin, &examples::gob_thief,
     &aspects::diligence, &aspects::envy},
};

TEST(Examples, Races) {
  const std::vector<const race*> all = examples::Races();
  ASSERT_EQ(all.size(), std::size(kRaces));
  for (std::size_t i = 0; i < all.size(); ++i) {
    const RaceRow& row = kRaces[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(all[i], row.object);
    EXPECT_EQ(row.object->ID(), i);
    EXPECT_EQ(row.object->name.str(), row.name);
    EXPECT_EQ(row.object->playable, 0);
    EXPECT_EQ(row.object->virtue, row.virtue);
    EXPECT_EQ(row.object->vice, row.vice);
    EXPECT_EQ(row.object->modifiers, FromHalves(row.bonuses));
    const std::string description = row.object->description.str();
    EXPECT_EQ(description.size(), row.length);
    EXPECT_EQ(description.substr(0, std::strlen(row.opening)), row.opening);
    EXPECT_EQ(row.object->description.prefix_width, 2u);
  }
}

TEST(Examples, Careers) {
  const std::vector<const career*> all = examples::Careers();
  ASSERT_EQ(all.size(), std::size(kCareers));
  for (std::size_t i = 0; i < all.size(); ++i) {
    const CareerRow& row = kCareers[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(all[i], row.object);
    EXPECT_EQ(row.object->ID(), i);
    EXPECT_EQ(row.object->name.str(), row.name);
    EXPECT_EQ(row.object->playable, 0);
    EXPECT_EQ(row.object->modifiers, FromHalves(row.bonuses));
    EXPECT_EQ(row.object->description.length, row.length);
    if (row.description) {
      EXPECT_EQ(row.object->description.str(), row.description);
    }
  }
}

TEST(Examples, JanitorIsTheDefaultCareer) {
  std::ostringstream builtin;
  std::ostringstream fresh;
  builtin << examples::janitor;
  fresh << career();
  EXPECT_EQ(builtin.str(), fresh.str());
}

// Start from 128 and apply each aspect's raise and lower, saturating.
std::array<int, 7> ExpectedElements(std::initializer_list<const aspect*> applied) {
  std::array<int, 7> values;
  values.fill(128);
  for (const aspect* a : applied) {
    values[a->strengthens] = std::min(255, values[a->strengthens] + 16);
    values[a->weakens] = std::max(0, values[a->weakens] - 16);
  }
  return values;
}

TEST(Examples, Actors) {
  const std::vector<actor*> all = examples::Actors();
  ASSERT_EQ(all.size(), std::size(kActors));
  for (std::size_t i = 0; i < all.size(); ++i) {
    const ActorRow& row = kActors[i];
    const actor& a = *row.object;
    SCOPED_TRACE(row.name);
    EXPECT_EQ(all[i], row.object);
    EXPECT_EQ(a.id, i);
    EXPECT_EQ(a.name.str(), row.name);
    EXPECT_EQ(a.female, row.female);
    EXPECT_FALSE(a.player_controlled);
    EXPECT_EQ(a.race, row.origin);
    EXPECT_EQ(a.race_id, row.origin->ID());
    EXPECT_EQ(a.career, row.profession);
    EXPECT_EQ(a.career_id, row.profession->ID());
    EXPECT_EQ(a.virtue, row.virtue);
    EXPECT_EQ(a.vice, row.vice);

    // Race and career bonuses add up; the current values equal them since
    // no maximum lies below its own base.
    for (int s = 0; s < 9; ++s) {
      const unsigned short bonus =
          static_cast<unsigned short>(row.origin->modifiers[s] + row.profession->modifiers[s]);
      EXPECT_EQ(a.Stat(s)->base, bonus) << a.Stat(s)->name;
      EXPECT_EQ(a.Stat(s)->current, bonus) << a.Stat(s)->name;
      EXPECT_EQ(a.Stat(s)->wound, 0);
    }
    const std::array<int, 7> expected =
        ExpectedElements({row.origin->virtue, row.origin->vice, row.virtue, row.vice});
    for (int k = 0; k < 7; ++k) EXPECT_EQ(a.elements[k].get(), expected[k]) << elements::kElementNames[k];
  }
}

TEST(Examples, Parties) {
  using examples::goblin01;
  using examples::goblin02;
  const struct {
    party* object;
    const char* name;
    std::vector<actor*> members;
  } rows[] = {
      {&examples::player, "Player", {&examples::bob, &examples::john, &examples::herbert, &examples::janet}},
      {&examples::goblins01, "Goblins", {&goblin01, &goblin02, &goblin01}},
      {&examples::goblins02, "Goblins", {&goblin02, &goblin01, &goblin02}},
      {&examples::goblins03, "Goblins", {&goblin02, &goblin02, &goblin02, &goblin02}},
  };
  const std::vector<party*> all = examples::Parties();
  ASSERT_EQ(all.size(), std::size(rows));
  for (std::size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE(i);
    party& p = *rows[i].object;
    EXPECT_EQ(all[i], &p);
    EXPECT_EQ(p.ID(), 0u);
    EXPECT_FALSE(p.shared_members);
    EXPECT_EQ(p.name.str(), rows[i].name);
    EXPECT_EQ(p.member_count, rows[i].members.size());
    EXPECT_EQ(std::vector<actor*>(p.Begin(), p.End()), rows[i].members);
  }
}

}  // namespace
