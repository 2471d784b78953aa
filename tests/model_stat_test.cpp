// Fixed-point stats: maxima, clamps, damage, restoring and levelling;
// assignment, which keeps the wiring; the console and file forms.

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

// --- reading values -------------------------------------------------------

TEST(StatValue, WholeAndRawCurrent) {
  stat_aux s;
  s.current = 0x1234;
  EXPECT_EQ(s.get(true), 18);
  EXPECT_EQ(s.get(false), 4660);
}

TEST(StatValue, PrimaryMaximumCountsGrowthLessWound) {
  const Primary s(512, 300, 100, 0);
  EXPECT_EQ(s.get_max(false), 712);
  EXPECT_EQ(s.get_max(true), 2);
}

TEST(StatValue, NegativeMaximumRoundsDownInWholePoints) {
  // A wound larger than base + growth: the raw maximum reduces to 16 bits,
  // the whole one is -300 / 256 rounded toward minus infinity, that is -2.
  const Primary primary(0, 0, 300, 0);
  EXPECT_EQ(primary.get_max(false), 65536 - 300);
  EXPECT_EQ(static_cast<short>(primary.get_max(true)), -2);

  stat_aux aux;
  aux.wound = 1;
  EXPECT_EQ(aux.get_max(false), 65535);
  EXPECT_EQ(static_cast<short>(aux.get_max(true)), -1);
}

TEST(StatValue, AuxiliaryMaximumFollowsThePrimariesCurrentValues) {
  actor a;
  a.strength.current = 2560;
  a.agility.current = 1281;  // halved and rounded down: 640
  a.health.base = 512;
  EXPECT_EQ(a.health.get_max(false), 512 + 2560 + 640);
  // Damage to a primary lowers what its auxiliaries can reach.
  a.strength.current = 256;
  EXPECT_EQ(a.health.get_max(false), 512 + 256 + 640);
  a.health.wound = 100;
  EXPECT_EQ(a.health.get_max(false), 512 + 256 + 640 - 100);
  // Energy takes Strength only at half weight.
  EXPECT_EQ(a.energy.get_max(false), 128);
}

// --- mod, mod_max, set, set_max, Damage -------------------------------------

// One change to a primary holding base, growth, wound and current, and
// what the primary holds afterwards.
struct change {
  const char* what;
  unsigned short base, growth, wound, current;
  void (stat_base::*op)(const unsigned short&);
  unsigned short argument;
  unsigned short want_base, want_wound, want_current;
};

TEST(StatChange, EachChangeOfAPrimary) {
  const change changes[] = {
      {"mod raises", 1000, 0, 0, 500, &stat_base::mod, 300, 1000, 0, 800},
      {"mod clamps to the maximum", 1000, 0, 0, 800, &stat_base::mod, 300, 1000, 0, 1000},
      {"mod by minus two points from one stops at 0", 1000, 0, 0, 256, &stat_base::mod, 65024, 1000, 0, 0},
      {"mod by minus 100", 1000, 0, 0, 256, &stat_base::mod, 65436, 1000, 0, 156},
      {"the smallest delta that counts as a decrease", 60000, 0, 0, 40000, &stat_base::mod, 32768, 60000, 0,
       7232},
      {"the largest increase", 60000, 0, 0, 100, &stat_base::mod, 32767, 60000, 0, 32867},
      {"mod saturates instead of wrapping", 25600, 25600, 0, 50000, &stat_base::mod, 20000, 25600, 0, 51200},
      {"mod_max raises base and current to the cap", 25500, 0, 0, 25500, &stat_base::mod_max, 256, 25600, 0,
       25600},
      {"mod_max of a fresh stat", 0, 0, 0, 0, &stat_base::mod_max, 512, 512, 0, 512},
      {"mod_max decreases stop at 0", 100, 0, 0, 100, &stat_base::mod_max, 65280, 0, 0, 0},
      {"mod_max lowers by a point", 1024, 0, 0, 1024, &stat_base::mod_max, 65280, 768, 0, 768},
      {"set", 1000, 24, 0, 0, &stat_base::set, 700, 1000, 0, 700},
      {"set clamps to the maximum", 1000, 24, 0, 0, &stat_base::set, 5000, 1000, 0, 1024},
      {"set_max to 0", 512, 0, 0, 300, &stat_base::set_max, 0, 0, 0, 0},
      {"set_max stops at the cap", 25000, 0, 0, 1000, &stat_base::set_max, 30000, 25600, 0, 1600},
      {"set_max lowers current with base", 1000, 0, 0, 800, &stat_base::set_max, 600, 600, 0, 400},
      {"set_max raising is not clamped afterwards", 512, 0, 500, 100, &stat_base::set_max, 1000, 1000, 500,
       588},
      {"set_max to the cap", 700, 0, 0, 700, &stat_base::set_max, 25600, 25600, 0, 25600},
      {"a wound", 1000, 0, 0, 1000, &stat_base::Damage, 100, 1000, 10, 900},
      {"a wound replaces the last: 10,000 / 900", 1000, 0, 10, 900, &stat_base::Damage, 100, 1000, 11, 800},
      {"a killing blow adds the rest to the wound", 1000, 0, 30, 500, &stat_base::Damage, 500, 1000, 530, 0},
      {"an overkill adds the rest too", 1000, 0, 7, 500, &stat_base::Damage, 9000, 1000, 507, 0},
      {"the wound reduces to 16 bits", 0, 0, 65535, 10, &stat_base::Damage, 10, 0, 9, 0},
      {"the wound's product needs 32 bits: 3,600,000,000 / 65,535", 0, 0, 0, 65535, &stat_base::Damage, 60000,
       0, 54932, 5535},
  };
  for (const change& c : changes) {
    SCOPED_TRACE(c.what);
    Primary s(c.base, c.growth, c.wound, c.current);
    (s.*c.op)(c.argument);
    EXPECT_EQ(s.base, c.want_base);
    EXPECT_EQ(s.wound, c.want_wound);
    EXPECT_EQ(s.current, c.want_current);
    EXPECT_EQ(s.growth, c.growth);
  }
}

TEST(StatChange, AnAuxiliaryClampsAgainstItsPrimaries) {
  actor a;
  a.strength.mod_max(512);
  a.health.mod_max(256);
  EXPECT_EQ(a.health.base, 256);
  EXPECT_EQ(a.health.current, 256);
  EXPECT_EQ(a.health.get_max(false), 768);

  actor b;
  b.strength.current = 65535;
  b.health.current = 65000;
  b.health.mod(1000);
  EXPECT_EQ(b.health.current, 65535) << "saturated instead of wrapped";
}

// --- Damage and Restore ---------------------------------------------------

TEST(StatDamage, RestoreFillsAndHeals) {
  Primary s(1000, 200, 77, 3);
  s.Restore();
  EXPECT_EQ(s.current, 1200);
  EXPECT_EQ(s.wound, 0);

  actor a;
  a.strength.current = 2560;
  a.agility.current = 1280;
  a.health.base = 512;
  a.health.wound = 40;
  a.health.Restore();
  EXPECT_EQ(a.health.current, 3712);
  EXPECT_EQ(a.health.wound, 0);
}

// --- Level ----------------------------------------------------------------

TEST(StatLevel, FirstGainIsLargeAndFlowsIntoTheLinkedStats) {
  actor a;
  a.strength = Primary(2560, 0, 0, 2560);
  a.agility.current = 1024;
  a.wisdom.current = 1024;
  for (stat_aux* aux : {&a.health, &a.energy, &a.attack_damage, &a.reflex, &a.dexterity, &a.precision}) {
    aux->base = 5000;
    aux->current = 1000;
  }
  EXPECT_FALSE(a.strength.Level(256));
  EXPECT_EQ(a.strength.growth, 232);
  EXPECT_EQ(a.strength.current, 2792);
  EXPECT_EQ(a.health.current, 1232);         // dominant
  EXPECT_EQ(a.attack_damage.current, 1232);  // dominant
  EXPECT_EQ(a.energy.current, 1116);         // recessive, half
  EXPECT_EQ(a.dexterity.current, 1116);      // recessive, half
  EXPECT_EQ(a.reflex.current, 1000);
  EXPECT_EQ(a.precision.current, 1000);

  EXPECT_FALSE(a.strength.Level(256));
  EXPECT_EQ(a.strength.growth, 246);  // later gains are divided by 16
  EXPECT_EQ(a.strength.current, 2806);
  EXPECT_EQ(a.health.current, 1246);
  EXPECT_EQ(a.energy.current, 1123);
}

TEST(StatLevel, FullAuxiliariesStayFullAsThePrimaryRises) {
  actor a;
  a.strength = Primary(2560, 0, 0, 0);
  a.agility.base = 512;
  a.health.base = 100;
  a.energy.base = 100;
  a.Restore();
  ASSERT_EQ(a.health.current, a.health.get_max(false));
  a.strength.Level(256);
  EXPECT_EQ(a.health.current, a.health.get_max(false));
  EXPECT_EQ(a.health.current, 100 + 2792 + 256);
  EXPECT_EQ(a.energy.current, a.energy.get_max(false));
}

TEST(StatLevel, NothingToLearnFromStillGainsOne) {
  stat_swag empty;
  EXPECT_FALSE(empty.Level(0));
  EXPECT_EQ(empty.growth, 1);
  EXPECT_EQ(empty.current, 1);

  stat_swag no_base;
  no_base.Level(500);
  EXPECT_EQ(no_base.growth, 1);

  Primary no_experience(2560, 0, 0, 2560);
  no_experience.Level(0);
  EXPECT_EQ(no_experience.growth, 1);

  Primary tiny(256, 16, 0, 272);
  tiny.Level(1);  // 1 * 256/272 / 16 truncates to 0
  EXPECT_EQ(tiny.growth, 17);
}

TEST(StatLevel, ReportsWhenTheWholePartRises) {
  Primary s(2560, 200, 0, 2760);
  EXPECT_TRUE(s.Level(1000));  // gains 57: 2,760 to 2,817 passes 11 points
  EXPECT_EQ(s.growth, 257);

  Primary first(256, 0, 0, 256);
  EXPECT_FALSE(first.Level(65535));  // gains 255: 511 is still one point
  EXPECT_EQ(first.growth, 255);
  EXPECT_TRUE(first.Level(65535));
}

TEST(StatLevel, GrowthStopsAtTheCapAndSpillsIntoCurrent) {
  actor a;
  a.strength = Primary(25600, 25590, 0, 100);
  a.health.current = 7;
  a.energy.current = 7;
  a.attack_damage.current = 7;
  a.dexterity.current = 7;
  a.strength.Level(640);  // gains 20
  EXPECT_EQ(a.strength.growth, 25600);
  EXPECT_EQ(a.strength.current, 110);
  EXPECT_EQ(a.health.current, 7);
  EXPECT_EQ(a.energy.current, 7);
  EXPECT_EQ(a.attack_damage.current, 7);
  EXPECT_EQ(a.dexterity.current, 7);

  // The spill is clamped to the maximum.
  Primary wounded(25600, 25590, 51000, 195);
  wounded.Level(640);
  EXPECT_EQ(wounded.growth, 25600);
  EXPECT_EQ(wounded.current, 200);
}

TEST(StatLevel, GrowthMayReachTheCapExactly) {
  actor a;
  a.strength = Primary(25600, 25580, 0, 100);
  a.health.base = 1000;
  a.strength.Level(640);  // gains 20: 25,600 is not above the cap
  EXPECT_EQ(a.strength.growth, 25600);
  EXPECT_EQ(a.strength.current, 120);
  EXPECT_EQ(a.health.current, 20);
}

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

}  // namespace
