// One attack: its outcome worked out as data, and the attack as the battle
// reports and applies it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "combat/attack.h"
#include "combat/battle.h"
#include "model/actor.h"
#include "platform/random.h"
#include "support/battle_support.h"
#include "support/test_support.h"

namespace {

using test_support::ConsoleCapture;
using test_support::ExpectSameStats;
using test_support::Fighter;
using test_support::FullyGrown;
using test_support::SeedWhere;
using test_support::Set;

void Primaries(actor& a, unsigned short strength, unsigned short wisdom, unsigned short agility) {
  a.strength.base = a.strength.current = strength;
  a.wisdom.base = a.wisdom.current = wisdom;
  a.agility.base = a.agility.current = agility;
}

// Seeds the generator so that the next draw gives roll k (1 to 128).
void SeedRoll(int k) {
  static std::vector<unsigned int> seeds(129, 0);
  if (seeds[k] == 0) seeds[k] = SeedWhere([k](int r) { return (r >> 8) + 1 == k; });
  rng::Seed(seeds[k]);
}

motive Attacking(actor* x, actor* y) { return motive{x, y, motive::kAttack, 0}; }
motive Standing(actor* y, std::int32_t action) { return motive{y, y, action, 0}; }

std::string AttackOutput(battle& b, actor* x, actor* y, int k, std::int32_t target_action) {
  SeedRoll(k);
  ConsoleCapture capture;
  b.Attack(Attacking(x, y), Standing(y, target_action));
  return capture.Output();
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n') + 1); }

// The attack worked out step by step from the rules, in plain double
// arithmetic, on a second pair of actors.
std::string ReferenceAttack(battle& b, actor& x, actor& y, int k, bool defends) {
  ConsoleCapture capture;
  const double p = x.precision.current;
  const double r = y.reflex.current;
  const double hit = ((p - r) / (p + r) * 0.5 + 0.5) * 128.0;
  const double roll = k * 0.78125;
  const unsigned short dmg = static_cast<unsigned short>(x.attack_damage.current / 8);
  const std::string xn = x.name.str();
  const std::string yn = y.name.str();
  if (y.health.current == 0) {
    std::cout << xn << " kicks " << yn << "'s corpse.\n";
    return capture.Output();
  }
  // In exact arithmetic, hit > roll is 4096 P > 25 k (P + R).
  const std::int64_t lhs = 4096 * static_cast<std::int64_t>(p);
  const std::int64_t rhs = 25 * static_cast<std::int64_t>(k) * static_cast<std::int64_t>(p + r);
  const bool connects = p + r > 0 && hit > roll;
  EXPECT_EQ(connects, lhs > rhs) << "P " << p << " R " << r << " k " << k;

  if (!connects) {
    std::cout << xn << " swings at " << yn << " but misses!\n";
    const unsigned short m = static_cast<unsigned short>(std::trunc(roll));
    b.LevelStat(&x, static_cast<unsigned short>(m * 2), &x.precision, &y.reflex);
    b.LevelStat(&y, static_cast<unsigned short>(m / 2), &y.reflex, &x.precision);
    return capture.Output();
  }
  const unsigned short h = static_cast<unsigned short>(std::trunc(hit * 50));
  if (defends) {
    const unsigned short half = dmg / 2;
    if (hit * 0.8 > roll) {
      std::cout << yn << " defends against " << xn << "'s blow!\n";
      b.LevelStat(&x, static_cast<unsigned short>(half * 2), &x.attack_damage, &y.health);
      b.LevelStat(&y, static_cast<unsigned short>(half * 2), &y.health, &x.attack_damage);
      b.LevelStat(&x, static_cast<unsigned short>(h * 2), &x.precision, &y.reflex);
      b.LevelStat(&y, static_cast<unsigned short>(h / 2), &y.reflex, &x.precision);
      y.health.Damage(half);
    } else {
      std::cout << yn << " dodges " << xn << "'s attack at the last second!\n";
      b.LevelStat(&x, static_cast<unsigned short>(h / 2), &x.precision, &y.reflex);
      b.LevelStat(&y, static_cast<unsigned short>(h * 2), &y.reflex, &x.precision);
    }
  } else {
    if (dmg > 256) {
      std::cout << xn << " attacks " << yn << " for " << dmg / 256 << " damage!\n";
    } else {
      std::cout << xn << " grazes " << yn << " with a weak blow!\n";
    }
    b.LevelStat(&x, dmg, &x.attack_damage, &y.health);
    b.LevelStat(&y, static_cast<unsigned short>(dmg / 2), &y.health, &x.attack_damage);
    b.LevelStat(&x, h, &x.precision, &y.reflex);
    b.LevelStat(&y, static_cast<unsigned short>(h / 2), &y.reflex, &x.precision);
    y.health.Damage(dmg);
  }
  if (y.health.current == 0) std::cout << '\t' << yn << " has died!\n";
  return capture.Output();
}

// ---------------------------------------------------------------------------
// Rolls and the stat comparison

TEST(BattleDraws, RollTakesTheTopSevenBits) {
  EXPECT_EQ(combat::Roll(0), 0.78125);
  EXPECT_EQ(combat::Roll(255), 0.78125);
  EXPECT_EQ(combat::Roll(256), 1.5625);
  EXPECT_EQ(combat::Roll(64 * 256), 65 * 0.78125);
  EXPECT_EQ(combat::Roll(32767), 100.0);
}

TEST(BattleStatCompare, RangeAndExtremes) {
  battle b;
  auto a = Fighter("A", 256, 256, 0, 0);
  auto z = Fighter("Z", 0, 0, 0, 0);
  EXPECT_EQ(b.StatCompare(&a->precision, &a->reflex), 0.5);
  EXPECT_EQ(b.StatCompare(&z->precision, &a->reflex), 0.0);
  EXPECT_EQ(b.StatCompare(&a->precision, &z->reflex), 1.0);
  EXPECT_TRUE(std::isnan(b.StatCompare(&z->precision, &z->reflex)));
  Set(a->precision, 768);
  EXPECT_EQ(b.StatCompare(&a->precision, &a->reflex) * 128.0, 96.0);
  // Unsigned values must not wrap when subtracted.
  Set(a->precision, 1);
  Set(a->reflex, 65535);
  EXPECT_NEAR(b.StatCompare(&a->precision, &a->reflex), 1.0 / 65536, 1e-12);
}

// ---------------------------------------------------------------------------
// Attack: every roll against a straightforward working of the rules

TEST(BattleAttack, EveryRollMatchesTheRules) {
  struct Pairing {
    unsigned short precision, reflex;
  };
  const Pairing pairings[] = {{256, 256}, {768, 256},  {256, 768}, {25, 7},     {125, 3},      {1000, 999},
                              {0, 500},   {500, 0},    {0, 0},     {913, 1000}, {65535, 65535}, {1, 65535},
                              {65535, 1}, {12345, 6789}};
  for (const Pairing& pairing : pairings) {
    for (int k = 1; k <= 128; ++k) {
      for (bool defends : {false, true}) {
        const std::string context = "P " + std::to_string(pairing.precision) + " R " +
                                    std::to_string(pairing.reflex) + " k " + std::to_string(k) +
                                    (defends ? " defending" : "");
        battle b;
        auto x = Fighter("Attacker", pairing.precision, 300, 4096, 2000);
        auto y = Fighter("Target", 300, pairing.reflex, 700, 3000);
        // Primaries with a base, so that every experience amount shows in
        // the gain it brings.
        Primaries(*x, 2560, 3000, 2000);
        Primaries(*y, 1800, 2600, 3300);
        auto rx = std::make_unique<actor>(*x);
        auto ry = std::make_unique<actor>(*y);

        const std::string got = AttackOutput(b, x.get(), y.get(), k, defends ? motive::kDefend : motive::kIdle);
        const std::string want = ReferenceAttack(b, *rx, *ry, k, defends);
        EXPECT_EQ(got, want) << context;
        ExpectSameStats(*x, *rx, context + " attacker");
        ExpectSameStats(*y, *ry, context + " target");
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Outcomes as data

using combat::outcome_kind;
using step = combat::experience_step;

// The roll the game makes of the k-th of its 128 values (1 to 128).
double RollOf(int k) { return combat::Roll((k - 1) << 8); }

combat::attack_outcome Resolve(int precision, int reflex, int k, bool defends, unsigned short attack_damage = 4096) {
  auto x = Fighter("Orc", static_cast<unsigned short>(precision), 256, attack_damage, 5000);
  auto y = Fighter("Elf", 256, static_cast<unsigned short>(reflex), 256, 5000);
  return combat::ResolveAttack(*x, *y, defends, RollOf(k));
}

outcome_kind Kind(int precision, int reflex, int k, bool defends) {
  return Resolve(precision, reflex, k, defends).kind;
}

TEST(AttackOutcome, EqualStatsConnectForTheLowest81Rolls) {
  for (int k = 1; k <= 128; ++k) {
    EXPECT_EQ(Kind(256, 256, k, false), k <= 81 ? outcome_kind::kHit : outcome_kind::kMiss) << k;
    const outcome_kind defended = k <= 65 ? outcome_kind::kDefended : k <= 81 ? outcome_kind::kDodged
                                                                              : outcome_kind::kMiss;
    EXPECT_EQ(Kind(256, 256, k, true), defended) << k;
  }
}

TEST(AttackOutcome, TripleAccuracyConnectsUpTo122) {
  EXPECT_EQ(Kind(768, 256, 122, false), outcome_kind::kHit);
  EXPECT_EQ(Kind(768, 256, 123, false), outcome_kind::kMiss);
  // More than 3.571 times the Reflex: every roll connects.
  EXPECT_EQ(Kind(915, 256, 128, false), outcome_kind::kHit);
  EXPECT_EQ(Kind(914, 256, 128, false), outcome_kind::kMiss);
  // Nothing to compare: the attack misses.
  EXPECT_EQ(Kind(0, 0, 1, false), outcome_kind::kMiss);
}

TEST(AttackOutcome, DamageIsAnEighthOfAttackDamage) {
  const struct {
    unsigned short attack_damage;
    bool defends;
    outcome_kind kind;
    unsigned short damage;
  } cases[] = {
      {2048, false, outcome_kind::kGraze, 256},  // one point is still a graze
      {2056, false, outcome_kind::kHit, 257},
      {2063, false, outcome_kind::kHit, 257},  // rounded down
      {4096, false, outcome_kind::kHit, 512},
      {4096, true, outcome_kind::kDefended, 256},
      {7, false, outcome_kind::kGraze, 0},
  };
  for (const auto& c : cases) {
    const combat::attack_outcome o = Resolve(25600, 256, 1, c.defends, c.attack_damage);
    EXPECT_EQ(o.kind, c.kind) << c.attack_damage;
    EXPECT_EQ(o.damage, c.damage) << c.attack_damage;
  }
  EXPECT_EQ(Resolve(256, 256, 70, true).damage, 0) << "dodged";
  EXPECT_EQ(Resolve(256, 256, 128, false).damage, 0) << "missed";
}

// Precision against Reflex, and Attack Damage against Health, seen from
// either side.
step AttackerAims(unsigned short amount) { return {step::kAttacker, &actor::precision, &actor::reflex, amount}; }
step TargetEvades(unsigned short amount) { return {step::kTarget, &actor::reflex, &actor::precision, amount}; }
step AttackerStrikes(unsigned short amount) { return {step::kAttacker, &actor::attack_damage, &actor::health, amount}; }
step TargetTakes(unsigned short amount) { return {step::kTarget, &actor::health, &actor::attack_damage, amount}; }

TEST(AttackOutcome, ExperienceStepsOfEachOutcome) {
  // Equal stats: hit 64, so h = 3200; Attack Damage 4096 gives dmg 512.
  EXPECT_EQ(Resolve(256, 256, 1, false).steps,
            (std::vector<step>{AttackerStrikes(512), TargetTakes(256), AttackerAims(3200), TargetEvades(1600)}));
  EXPECT_EQ(Resolve(256, 256, 1, true).steps,
            (std::vector<step>{AttackerStrikes(512), TargetTakes(512), AttackerAims(6400), TargetEvades(1600)}));
  EXPECT_EQ(Resolve(256, 256, 70, true).steps, (std::vector<step>{AttackerAims(1600), TargetEvades(6400)}));
  // A miss at roll 50.78125 counts its whole part, 50.
  const combat::attack_outcome miss = Resolve(256, 768, 65, false);
  EXPECT_EQ(miss.kind, outcome_kind::kMiss);
  EXPECT_EQ(miss.steps, (std::vector<step>{AttackerAims(100), TargetEvades(25)}));
  // A graze levels like a hit.
  EXPECT_EQ(Resolve(25600, 256, 1, false, 2048).steps,
            (std::vector<step>{AttackerStrikes(256), TargetTakes(128), AttackerAims(6336), TargetEvades(3168)}));
}

TEST(AttackOutcome, ACorpseGivesNothing) {
  auto x = Fighter("Orc", 25600, 256, 4096, 5000);
  auto y = Fighter("Elf", 256, 256, 256, 0);
  for (int k : {1, 128}) {
    const combat::attack_outcome o = combat::ResolveAttack(*x, *y, false, RollOf(k));
    EXPECT_EQ(o.kind, outcome_kind::kCorpse);
    EXPECT_EQ(o.damage, 0);
    EXPECT_TRUE(o.steps.empty());
  }
}

// ---------------------------------------------------------------------------
// Attack: what the battle reports and applies

struct Blow {
  std::string text;
  unsigned short health_lost;
};

Blow Strike(unsigned short attack_damage, int k, std::int32_t target_action) {
  battle b;
  auto x = Fighter("Orc", 256, 256, attack_damage, 5000);
  auto y = Fighter("Elf", 256, 256, 256, 5000);
  FullyGrown(*y);
  const std::string out = AttackOutput(b, x.get(), y.get(), k, target_action);
  return {FirstLine(out), static_cast<unsigned short>(5000 - y->health.current)};
}

TEST(BattleAttack, EachOutcomeHasItsLineAndItsDamage) {
  const Blow graze = Strike(2048, 1, motive::kIdle);
  EXPECT_EQ(graze.text, "Orc grazes Elf with a weak blow!\n");
  EXPECT_EQ(graze.health_lost, 256);  // a graze still does its damage

  const Blow one = Strike(2056, 1, motive::kIdle);
  EXPECT_EQ(one.text, "Orc attacks Elf for 1 damage!\n");
  EXPECT_EQ(one.health_lost, 257);

  const Blow two = Strike(4096, 1, motive::kIdle);
  EXPECT_EQ(two.text, "Orc attacks Elf for 2 damage!\n");
  EXPECT_EQ(two.health_lost, 512);

  const Blow guarded = Strike(4096, 1, motive::kDefend);
  EXPECT_EQ(guarded.text, "Elf defends against Orc's blow!\n");
  EXPECT_EQ(guarded.health_lost, 256);

  const Blow dodged = Strike(4096, 70, motive::kDefend);
  EXPECT_EQ(dodged.text, "Elf dodges Orc's attack at the last second!\n");
  EXPECT_EQ(dodged.health_lost, 0);

  const Blow missed = Strike(4096, 128, motive::kIdle);
  EXPECT_EQ(missed.text, "Orc swings at Elf but misses!\n");
  EXPECT_EQ(missed.health_lost, 0);
}

TEST(BattleAttack, ABlowOfNoDamageStillLands) {
  battle b;
  auto x = Fighter("Orc", 256, 256, 7, 5000);
  auto y = Fighter("Elf", 256, 256, 256, 5000);
  y->health.wound = 100;
  EXPECT_EQ(AttackOutput(b, x.get(), y.get(), 1, motive::kIdle), "Orc grazes Elf with a weak blow!\n");
  EXPECT_EQ(y->health.wound, 0) << "taking damage, even none, resets the wound";
}

TEST(BattleAttack, KillingBlowAnnouncesTheDeath) {
  battle b;
  auto x = Fighter("Orc", 25600, 256, 8192, 5000);
  auto y = Fighter("Elf", 256, 256, 256, 1024);
  FullyGrown(*y);
  const std::string out = AttackOutput(b, x.get(), y.get(), 1, motive::kIdle);
  EXPECT_EQ(FirstLine(out), "Orc attacks Elf for 4 damage!\n");
  EXPECT_NE(out.find("\tElf has died!\n"), std::string::npos) << out;
  EXPECT_EQ(out.substr(out.size() - 15), "\tElf has died!\n");
  EXPECT_EQ(y->health.current, 0);
}

TEST(BattleAttack, CorpseIsKickedOnceAndNothingChanges) {
  battle b;
  auto x = Fighter("Orc", 25600, 256, 4096, 5000);
  auto y = Fighter("Elf", 256, 256, 256, 0);
  const actor x_before(*x);
  const actor y_before(*y);
  rng::Seed(99);
  rng::Draw();
  const int second = rng::Draw();
  rng::Seed(99);
  ConsoleCapture capture;
  b.Attack(Attacking(x.get(), y.get()), Standing(y.get(), motive::kIdle));
  EXPECT_EQ(capture.Output(), "Orc kicks Elf's corpse.\n");
  EXPECT_EQ(rng::Draw(), second);  // exactly one draw was taken
  ExpectSameStats(*x, x_before, "attacker");
  ExpectSameStats(*y, y_before, "target");
}

}  // namespace
