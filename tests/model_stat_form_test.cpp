// Stats: assignment keeps the wiring, and the console and file forms.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/actor.h"
#include "model/stat.h"
#include "support/test_support.h"

namespace {

using test_support::ConsoleForm;
using test_support::FileForm;

// A primary with the given values, for the cases that need no actor.
struct Primary : stat_swag {
  Primary(unsigned short b, unsigned short g, unsigned short w, unsigned short c) {
    base = b;
    growth = g;
    wound = w;
    current = c;
  }
};

// --- assignment -----------------------------------------------------------

TEST(StatAssign, CopiesValuesButNeverNamesOrWiring) {
  actor source;
  actor target;
  source.strength = Primary(1, 2, 3, 4);
  source.health.base = 10;
  source.health.wound = 11;
  source.health.current = 12;

  target.strength = source.strength;
  target.health = source.health;
  EXPECT_EQ(target.strength.base, 1);
  EXPECT_EQ(target.strength.growth, 2);
  EXPECT_EQ(target.strength.wound, 3);
  EXPECT_EQ(target.strength.current, 4);
  EXPECT_EQ(target.health.base, 10);
  EXPECT_EQ(target.health.wound, 11);
  EXPECT_EQ(target.health.current, 12);
  EXPECT_EQ(target.strength.links[0], &target.health);
  EXPECT_EQ(target.health.dom(), &target.strength);
  EXPECT_EQ(target.health.rec(), &target.agility);

  target.wisdom.name = "other";
  target.wisdom = source.strength;
  EXPECT_STREQ(target.wisdom.name, "other");
  EXPECT_EQ(target.wisdom.links[0], &target.energy);
  const stat_swag& same = target.wisdom;
  target.wisdom = same;
  EXPECT_EQ(target.wisdom.growth, 2);
}

// --- stream forms ---------------------------------------------------------

TEST(StatForm, ConsoleShowsWholeCurrentAndMaximum) {
  EXPECT_EQ(ConsoleForm(Primary(3840, 0, 0, 3200)), " 12/15 ");
  EXPECT_EQ(ConsoleForm(Primary(25600, 0, 0, 25600)), "100/100");
  EXPECT_EQ(ConsoleForm(Primary(0, 0, 0, 0)), "  0/0  ");
  // A negative whole maximum shows reduced to 8 bits.
  EXPECT_EQ(ConsoleForm(Primary(0, 0, 300, 0)), "  0/254");

  actor a;
  a.strength.current = 65535;
  a.health.base = 25600;
  a.health.current = 300;
  // 25,600 + 65,535 is 355 whole points; the console keeps the low 8 bits.
  EXPECT_EQ(ConsoleForm(a.health), "  1/99 ");
}

TEST(StatForm, PrimaryFileFormIsEightBytes) {
  const Primary s(0x0300, 0x0010, 0, 0x0280);
  EXPECT_EQ(FileForm(s), std::string("\x00\x03\x00\x00\x80\x02\x10\x00", 8));

  const Primary full(0x1234, 0x5678, 0x9ABC, 0xDEF0);
  EXPECT_EQ(FileForm(full), std::string("\x34\x12\xBC\x9A\xF0\xDE\x78\x56", 8));
}

TEST(StatForm, AuxiliaryFileFormIsSixBytes) {
  actor a;
  a.health.base = 0x0102;
  a.health.wound = 0x0304;
  a.health.current = 0x0506;
  EXPECT_EQ(FileForm(a.health), std::string("\x02\x01\x04\x03\x06\x05", 6));
}

TEST(StatForm, ReadingRestoresValuesAndKeepsWiring) {
  actor a;
  std::istringstream in(
      std::string("\x34\x12\xBC\x9A\xF0\xDE\x78\x56"
                  "\x02\x01\x04\x03\x06\x05"
                  "X",
                  15));
  in >> a.strength >> a.health;
  EXPECT_EQ(a.strength.base, 0x1234);
  EXPECT_EQ(a.strength.wound, 0x9ABC);
  EXPECT_EQ(a.strength.current, 0xDEF0);
  EXPECT_EQ(a.strength.growth, 0x5678);
  EXPECT_EQ(a.health.base, 0x0102);
  EXPECT_EQ(a.health.wound, 0x0304);
  EXPECT_EQ(a.health.current, 0x0506);
  EXPECT_EQ(in.get(), 'X');
  EXPECT_STREQ(a.strength.name, "Strength");
  EXPECT_EQ(a.strength.links[0], &a.health);
  EXPECT_EQ(a.health.dom(), &a.strength);
}

TEST(StatForm, Constants) {
  EXPECT_EQ(stat_base::kExperienceMultiplier, 0.0625);
  EXPECT_EQ(stats::kCap, 25600);
  EXPECT_STREQ(stats::kStr, "Strength");
  EXPECT_STREQ(stats::kWis, "Wisdom");
  EXPECT_STREQ(stats::kAgi, "Agility");
  EXPECT_STREQ(stats::kHp, "Health");
  EXPECT_STREQ(stats::kEn, "Energy");
  EXPECT_STREQ(stats::kAd, "Attack Damage");
  EXPECT_STREQ(stats::kRe, "Reflex");
  EXPECT_STREQ(stats::kAs, "Dexterity");
  EXPECT_STREQ(stats::kAc, "Precision");
}

}  // namespace
