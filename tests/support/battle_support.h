#ifndef OSSIVAR_TESTS_SUPPORT_BATTLE_SUPPORT_H
#define OSSIVAR_TESTS_SUPPORT_BATTLE_SUPPORT_H

// Combatants and seeds shared by the attack and battle tests.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "combat/battle.h"
#include "model/actor.h"
#include "model/party.h"
#include "platform/random.h"

namespace test_support {

inline void Set(stat_aux& stat, unsigned short value) {
  stat.base = value;
  stat.current = value;
}

// Primaries at 0, so levelling moves the secondaries by single 1/256 steps
// and never changes a whole point on screen.
inline std::unique_ptr<actor> Fighter(const char* name, unsigned short precision, unsigned short reflex,
                                      unsigned short attack_damage, unsigned short health) {
  auto a = std::make_unique<actor>();
  a->name = pstr<unsigned char>(name);
  Set(a->precision, precision);
  Set(a->reflex, reflex);
  Set(a->attack_damage, attack_damage);
  Set(a->health, health);
  return a;
}

// Strength and Agility fully grown: levelling cannot move this actor's
// Health any more, so a Health change is the blow alone.
inline void FullyGrown(actor& a) {
  a.strength.growth = stats::kCap;
  a.agility.growth = stats::kCap;
  a.strength.current = 0;
  a.agility.current = 0;
}

// Every stat value, growth included.
inline void ExpectSameStats(const actor& got, const actor& want, const std::string& context) {
  for (int i = 0; i < 9; ++i) {
    const stat_base* g = got.Stat(i);
    const stat_base* w = want.Stat(i);
    EXPECT_EQ(g->base, w->base) << context << " stat " << i;
    EXPECT_EQ(g->wound, w->wound) << context << " stat " << i;
    EXPECT_EQ(g->current, w->current) << context << " stat " << i;
  }
  EXPECT_EQ(got.strength.growth, want.strength.growth) << context;
  EXPECT_EQ(got.wisdom.growth, want.wisdom.growth) << context;
  EXPECT_EQ(got.agility.growth, want.agility.growth) << context;
}

// The first seed whose first draw satisfies `wanted`.
inline unsigned int SeedWhere(const std::function<bool(int)>& wanted) {
  for (unsigned int seed = 1;; ++seed) {
    rng::Seed(seed);
    if (wanted(rng::Draw())) return seed;
  }
}

inline std::string Pad(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

// A player-controlled hero against three goblins.
struct Skirmish {
  std::unique_ptr<actor> hero = Fighter("Hero", 25600, 256, 25600, 20 * 256);
  std::unique_ptr<actor> goblins[3] = {Fighter("Gobbo", 0, 256, 0, 10 * 256),
                                       Fighter("Snikkit", 0, 256, 0, 10 * 256),
                                       Fighter("Grub", 0, 256, 0, 10 * 256)};
  party allies{pstr<unsigned char>("Heroes"), 1, {hero.get()}};
  party foes{pstr<unsigned char>("Goblins"), 3, {goblins[0].get(), goblins[1].get(), goblins[2].get()}};
  battle b;

  Skirmish() {
    hero->player_controlled = true;
    b.allies = &allies;
    b.foes = &foes;
    b.motives.assign(4, motive{});
  }
};

}  // namespace test_support

#endif
