// Element affinities and the fourteen aspects.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sstream>
#include <string>

#include "model/actor.h"
#include "model/aspect.h"
#include "model/element.h"
#include "support/test_support.h"

namespace {

using test_support::ConsoleForm;
using test_support::FileForm;

// --- elements -------------------------------------------------------------

TEST(Element, NamesFollowTheElementOrder) {
  const char* const expected[7] = {"Water", "Wind", "Earth", "Fire", "Light", "Dark", "Arcane"};
  for (int k = 0; k < 7; ++k) EXPECT_STREQ(elements::kElementNames[k], expected[k]) << k;
}

TEST(Element, ConsoleFormIsAPercentage) {
  const struct {
    unsigned char value;
    const char* shown;
  } cases[] = {{128, "100%"}, {255, "199%"}, {0, "0%"}, {160, "125%"}, {112, "87%"}, {144, "112%"}};
  for (const auto& c : cases) {
    element e;
    e.set(c.value);
    EXPECT_EQ(ConsoleForm(e), c.shown) << int(c.value);
  }
}

TEST(Element, ConsoleFormHonoursTheCallersWidth) {
  element e;
  e.set(112);
  test_support::ConsoleCapture capture;
  std::cout.width(3);
  std::cout << e;
  EXPECT_EQ(capture.Output(), " 87%");
}

TEST(Element, ArithmeticSaturates) {
  EXPECT_EQ(element().get(), 128);
  const struct {
    unsigned char start;
    int change;
    unsigned char result;
  } cases[] = {{250, 16, 255}, {239, 16, 255}, {10, -16, 0}, {16, -16, 0}, {17, -16, 1}};
  for (const auto& c : cases) {
    element e;
    e.set(c.start);
    if (c.change > 0) e += static_cast<unsigned char>(c.change);
    if (c.change < 0) e -= static_cast<unsigned char>(-c.change);
    EXPECT_EQ(e.get(), c.result) << int{c.start} << " " << c.change;
  }
  // Saturation loses information: up and down again is not the identity.
  element e;
  e.set(200);
  e += 100;
  e -= 100;
  EXPECT_EQ(e.get(), 155);
}

TEST(Element, AssignmentCopiesTheValueOnly) {
  element water(elements::kWaterName);
  element fire(elements::kFireName);
  fire.set(144);
  water = fire;
  EXPECT_EQ(water.get(), 144);
  EXPECT_STREQ(water.name, "Water");
  const element& same = water;
  water = same;
  EXPECT_EQ(water.get(), 144);
}

TEST(Element, FileFormIsOneByte) {
  element e;
  e.set(144);
  EXPECT_EQ(FileForm(e), "\x90");
  std::istringstream in("\x90\x01");
  element back(elements::kDarkName);
  in >> back;
  EXPECT_EQ(back.get(), 144);
  EXPECT_STREQ(back.name, "Dark");
  EXPECT_EQ(in.get(), 1);
}

// --- aspects --------------------------------------------------------------

struct AspectRow {
  const aspect* object;
  const char* name;
  int strengthens;
  int weakens;
};

const AspectRow kVirtues[7] = {
    {&aspects::temperment, "Temperance", 0, 3}, {&aspects::charity, "Charity", 1, 2},
    {&aspects::diligence, "Diligence", 2, 0},   {&aspects::kindness, "Kindness", 3, 5},
    {&aspects::chastity, "Chastity", 4, 6},     {&aspects::patience, "Patience", 5, 1},
    {&aspects::humility, "Humility", 6, 4},
};
const AspectRow kVices[7] = {
    {&aspects::sloth, "Sloth", 0, 2}, {&aspects::wrath, "Wrath", 1, 5},
    {&aspects::greed, "Greed", 2, 1}, {&aspects::gluttony, "Gluttony", 3, 0},
    {&aspects::pride, "Pride", 4, 6}, {&aspects::envy, "Envy", 5, 3},
    {&aspects::lust, "Lust", 6, 4},
};

TEST(Aspect, TableAndLookups) {
  for (int k = 0; k < 7; ++k) {
    for (const AspectRow& row : {kVirtues[k], kVices[k]}) {
      EXPECT_STREQ(row.object->name, row.name);
      EXPECT_EQ(row.object->strengthens, row.strengthens) << row.name;
      EXPECT_EQ(row.object->weakens, row.weakens) << row.name;
      EXPECT_NE(row.object->description, nullptr);
    }
    EXPECT_EQ(aspects::FindVirtue(k), kVirtues[k].object) << k;
    EXPECT_EQ(aspects::FindVice(k), kVices[k].object) << k;
  }
}

TEST(Aspect, OutOfRangeNumbersGiveTheSeventh) {
  for (int number : {6, 7, 200, 255, -1, -200}) {
    EXPECT_EQ(aspects::FindVirtue(number), &aspects::humility) << number;
    EXPECT_EQ(aspects::FindVice(number), &aspects::lust) << number;
  }
  EXPECT_EQ(aspects::FindVice(3), &aspects::gluttony);
}

TEST(Aspect, DescriptionsAreWordForWord) {
  const struct {
    const aspect* object;
    const char* text;
  } cases[] = {
      {&aspects::temperment,
       "Moderation is the essence of temperance. It is the mastery of desire. Like water, taking enough "
       "provides life, while overindulgence drowns you."},
      {&aspects::charity,
       "Charity is justice of the needy. It is what can be achieved rather than what can be given. The "
       "virtue of wind, it is filling the sails of the destitute to reach new heights."},
      {&aspects::diligence,
       "Diligence is careful persistence. It is the virtue of earth, and the power to level mountains with "
       "raindrops or grow a magnificent tree from a tiny seed."},
      {&aspects::kindness,
       "Kindness is helpfulness toward others without expected compensation. It is the virtue of Fire: "
       "heating our meals and homes, and the conjured warmth in our hearts. The gentle paragon gives until "
       "nothing remains; like a flame that burns itself out."},
      {&aspects::chastity, "Chastity is purity. It is the virtue of light that shines upon us all."},
      {&aspects::patience,
       "Patience is the mastery over desire. It is the virtue of the dark which forever lurks, biding its "
       "time to shine."},
      {&aspects::humility,
       "Humility is the understanding of ones place in the greater workings of the world. It is the virtue "
       "of the arcane, suggesting a clairvoyant sight of the world others cannot see."},
      {&aspects::sloth,
       "Sloth is the failure to act. It allows fate to control you and is the vice of water, slipping "
       "between your fingers."},
      {&aspects::wrath,
       "Wrath is failure to control ones emotions. It is the vice of wind, rampaging aimlessly."},
      {&aspects::greed,
       "Greed is the insatiable desire for personal gain. It is the vice of earth that inches across the "
       "world, consuming all."},
      {&aspects::gluttony, "Gluttony is the inability to stop consuming. It is the vice of fire."},
      {&aspects::pride,
       "Pride is the overvalue of ones self. It is the vice of light that steals all attention."},
      {&aspects::envy,
       "Envy is the desire for what others possessions and achievements. It is the the vice of darkness "
       "vying in the corner."},
      {&aspects::lust, "Lust is the insatiable obsession over something. It is the vice of the arcane."},
  };
  for (const auto& c : cases) EXPECT_STREQ(c.object->description, c.text) << c.object->name;
}

std::array<unsigned char, 7> Elements(const actor& a) {
  std::array<unsigned char, 7> values{};
  for (int k = 0; k < 7; ++k) values[k] = a.elements[k].get();
  return values;
}

TEST(Aspect, ElementEffectsOnAnActor) {
  actor a;
  a.PickVirtueVice(&aspects::temperment, nullptr);
  EXPECT_EQ(Elements(a), (std::array<unsigned char, 7>{144, 128, 128, 112, 128, 128, 128}));
  a.PickVirtueVice(nullptr, &aspects::sloth);
  EXPECT_EQ(Elements(a), (std::array<unsigned char, 7>{160, 128, 112, 112, 128, 128, 128}));
  // Picking does not record the aspects.
  EXPECT_EQ(a.virtue, nullptr);
  EXPECT_EQ(a.vice, nullptr);

  actor same_element;
  same_element.PickVirtueVice(&aspects::kindness, &aspects::gluttony);
  EXPECT_EQ(Elements(same_element), (std::array<unsigned char, 7>{112, 128, 128, 160, 128, 112, 128}));

  actor light;
  light.PickVirtueVice(&aspects::chastity, &aspects::pride);
  EXPECT_EQ(Elements(light), (std::array<unsigned char, 7>{128, 128, 128, 128, 160, 128, 96}));
}

TEST(Aspect, RepeatedPicksSaturateTheElements) {
  actor a;
  for (int i = 0; i < 10; ++i) a.PickVirtueVice(&aspects::humility, &aspects::lust);
  EXPECT_EQ(a.elements[6].get(), 255);
  EXPECT_EQ(a.elements[4].get(), 0);
}

}  // namespace
