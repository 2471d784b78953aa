// Fixed-point stats: maxima, clamps, damage, restoring and levelling.

#include <gtest/gtest.h>

#include <string>

#include "model/actor.h"
#include "model/stat.h"

namespace {

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

TEST(StatValue, CallsGoThroughTheVirtualSlots) {
  actor a;
  a.wisdom.current = 1000;
  a.energy.base = 24;
  stat_base* energy = a.Stat(4);
  ASSERT_EQ(energy, &a.energy);
  EXPECT_EQ(energy->get_max(false), 1024);
  energy->mod(5000);
  EXPECT_EQ(a.energy.current, 1024);
}

// --- mod, mod_max, set, set_max -------------------------------------------

TEST(StatChange, ModRaisesAndClampsToTheMaximum) {
  Primary s(1000, 0, 0, 500);
  s.mod(300);
  EXPECT_EQ(s.current, 800);
  s.mod(300);
  EXPECT_EQ(s.current, 1000);
}

TEST(StatChange, ModDecreasesStopAtZero) {
  Primary s(1000, 0, 0, 256);
  s.mod(65024);  // minus two points from one point
  EXPECT_EQ(s.current, 0);
  s = Primary(1000, 0, 0, 256);
  s.mod(65436);  // minus 100
  EXPECT_EQ(s.current, 156);
  s = Primary(60000, 0, 0, 40000);
  s.mod(32768);  // the smallest delta that counts as a decrease
  EXPECT_EQ(s.current, 7232);
  s = Primary(60000, 0, 0, 100);
  s.mod(32767);  // the largest increase
  EXPECT_EQ(s.current, 32867);
}

TEST(StatChange, ModIncreasesSaturateInsteadOfWrapping) {
  Primary s(25600, 25600, 0, 50000);
  s.mod(20000);
  EXPECT_EQ(s.current, 51200);

  actor a;
  a.strength.current = 65535;
  a.health.current = 65000;
  a.health.mod(1000);
  EXPECT_EQ(a.health.current, 65535);
}

TEST(StatChange, ModMaxRaisesBaseAndCurrentUnderTheCap) {
  Primary s(25500, 0, 0, 25500);
  s.mod_max(256);
  EXPECT_EQ(s.base, 25600);
  EXPECT_EQ(s.current, 25600);

  stat_swag fresh;
  fresh.mod_max(512);
  EXPECT_EQ(fresh.base, 512);
  EXPECT_EQ(fresh.current, 512);
}

TEST(StatChange, ModMaxDecreasesStopAtZero) {
  Primary s(100, 0, 0, 100);
  s.mod_max(65280);  // minus one point
  EXPECT_EQ(s.base, 0);
  EXPECT_EQ(s.current, 0);

  s = Primary(1024, 0, 0, 1024);
  s.mod_max(65280);
  EXPECT_EQ(s.base, 768);
  EXPECT_EQ(s.current, 768);
}

TEST(StatChange, ModMaxOnAnAuxiliaryClampsAgainstItsPrimaries) {
  actor a;
  a.strength.mod_max(512);
  a.health.mod_max(256);
  EXPECT_EQ(a.health.base, 256);
  EXPECT_EQ(a.health.current, 256);
  EXPECT_EQ(a.health.get_max(false), 768);
}

TEST(StatChange, SetClampsToTheMaximum) {
  Primary s(1000, 24, 0, 0);
  s.set(700);
  EXPECT_EQ(s.current, 700);
  s.set(5000);
  EXPECT_EQ(s.current, 1024);
}

TEST(StatChange, SetMaxMovesCurrentWithBase) {
  Primary s(512, 0, 0, 300);
  s.set_max(0);
  EXPECT_EQ(s.current, 0);
  EXPECT_EQ(s.base, 0);

  s = Primary(25000, 0, 0, 1000);
  s.set_max(30000);
  EXPECT_EQ(s.current, 1600);
  EXPECT_EQ(s.base, 25600);

  s = Primary(1000, 0, 0, 800);
  s.set_max(600);
  EXPECT_EQ(s.current, 400);
  EXPECT_EQ(s.base, 600);

  // Raising is not clamped to the maximum afterwards.
  s = Primary(512, 0, 500, 100);
  s.set_max(1000);
  EXPECT_EQ(s.base, 1000);
  EXPECT_EQ(s.current, 588);
  EXPECT_GT(s.current, s.get_max(false));

  s = Primary(700, 0, 0, 700);
  s.set_max(25600);
  EXPECT_EQ(s.base, 25600);
  EXPECT_EQ(s.current, 25600);
}

// --- Damage and Restore ---------------------------------------------------

TEST(StatDamage, WoundIsReplacedNotAdded) {
  Primary s(1000, 0, 0, 1000);
  s.Damage(100);
  EXPECT_EQ(s.wound, 10);
  EXPECT_EQ(s.current, 900);
  s.Damage(100);
  EXPECT_EQ(s.wound, 11);  // 10,000 / 900
  EXPECT_EQ(s.current, 800);
}

TEST(StatDamage, KillingBlowAddsTheRestToTheWound) {
  Primary s(1000, 0, 30, 500);
  s.Damage(500);
  EXPECT_EQ(s.wound, 530);
  EXPECT_EQ(s.current, 0);

  s = Primary(1000, 0, 7, 500);
  s.Damage(9000);
  EXPECT_EQ(s.wound, 507);
  EXPECT_EQ(s.current, 0);

  s = Primary(0, 0, 65535, 10);
  s.Damage(10);
  EXPECT_EQ(s.wound, 9);  // reduced to 16 bits
}

TEST(StatDamage, WoundProductNeedsThirtyTwoBits) {
  actor a;
  a.health.current = 65535;
  a.health.Damage(60000);
  EXPECT_EQ(a.health.wound, 54932);  // 3,600,000,000 / 65,535
  EXPECT_EQ(a.health.current, 5535);
}

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

}  // namespace
