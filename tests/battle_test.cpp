// The battle's levelling step, commands, roster and round report.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "combat/battle.h"
#include "model/actor.h"
#include "model/party.h"
#include "platform/random.h"
#include "support/battle_support.h"
#include "support/test_support.h"

namespace {

using test_support::ConsoleCapture;
using test_support::ExpectSameStats;
using test_support::Fighter;
using test_support::FullyGrown;
using test_support::Pad;
using test_support::SeedWhere;
using test_support::Set;
using test_support::Skirmish;

// ---------------------------------------------------------------------------
// Drawn positions

TEST(BattleDraws, PositionsNeverPassTheEnd) {
  EXPECT_EQ(combat::DrawnPosition(8191, 4), 0u);
  EXPECT_EQ(combat::DrawnPosition(8192, 4), 1u);
  EXPECT_EQ(combat::DrawnPosition(32767, 4), 3u);
  EXPECT_EQ(combat::DrawnPosition(10921, 3), 0u);
  EXPECT_EQ(combat::DrawnPosition(10922, 3), 1u);
  EXPECT_EQ(combat::DrawnPosition(32765, 3), 2u);
  // 32766 / 10922 and 32767 / 10922 would be 3.
  EXPECT_EQ(combat::DrawnPosition(32766, 3), 2u);
  EXPECT_EQ(combat::DrawnPosition(32767, 3), 2u);
  EXPECT_EQ(combat::DrawnPosition(32767, 1), 0u);
  for (std::size_t n = 1; n <= 250; ++n) {
    EXPECT_EQ(combat::DrawnPosition(32767, n), n - 1) << n;
    EXPECT_EQ(combat::DrawnPosition(0, n), 0u) << n;
  }
}

// ---------------------------------------------------------------------------
// LevelStat

// The amount times own / opposing goes to the own stat's dominant primary,
// half of that to its recessive one.
TEST(BattleLevelStat, ScalesByTheRatioOfTheTwoStats) {
  const struct {
    unsigned short own, opposing, amount, gain;
    const char* what;
  } cases[] = {{512, 256, 100, 200, "twice the opposing stat"},
               {65535, 1, 65535, 1, "65535 * 65535 = 0xFFFE0001, kept as 0x0001"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    battle b;
    auto a = Fighter("Hero", 0, 0, 0, c.own);
    a->strength.base = a->strength.current = 2560;
    a->agility.base = a->agility.current = 2560;
    auto opposing = Fighter("Foe", 0, 0, c.opposing, 0);
    auto expected = std::make_unique<actor>(*a);
    ConsoleCapture capture;
    b.LevelStat(a.get(), c.amount, &a->health, &opposing->attack_damage);
    expected->strength.Level(c.gain);
    expected->agility.Level(static_cast<unsigned short>(c.gain / 2));
    EXPECT_EQ(a->strength.growth, expected->strength.growth);
    EXPECT_EQ(a->agility.growth, expected->agility.growth);
    EXPECT_EQ(capture.Output(), "");
  }
}

TEST(BattleLevelStat, ZeroOpposingStatGivesNothing) {
  battle b;
  auto a = Fighter("Hero", 0, 0, 0, 512);
  auto opposing = Fighter("Foe", 0, 0, 0, 0);
  const actor before(*a);
  ConsoleCapture capture;
  b.LevelStat(a.get(), 1000, &a->health, &opposing->attack_damage);
  ExpectSameStats(*a, before, "hero");
  EXPECT_EQ(capture.Output(), "");
}

TEST(BattleLevelStat, AnnouncesAWholePointGained) {
  battle b;
  auto a = Fighter("Hero", 0, 0, 0, 25600);
  a->strength.base = a->strength.current = 511;
  auto opposing = Fighter("Foe", 0, 0, 256, 0);
  ConsoleCapture capture;
  b.LevelStat(a.get(), 600, &a->health, &opposing->attack_damage);
  // Strength rises from 1 to 3 whole points; Agility, from 0, gains one step.
  EXPECT_EQ(capture.Output(), "\tHero's Strength has leveled!\n");
}

// ---------------------------------------------------------------------------
// Commands

motive Choose(Skirmish& s, const std::string& script, std::string* output = nullptr) {
  motive m;
  ConsoleCapture capture(script);
  s.b.PlayerInput(s.hero.get(), m);
  if (output) *output = capture.Output();
  return m;
}

TEST(BattleCommands, PromptAndChoices) {
  Skirmish s;
  std::string out;
  motive cast = Choose(s, "1\n", &out);
  EXPECT_EQ(out, "\tCommand for Hero:\n\t  0) Attack\n\t  1) Cast\n\t  2) Defend\n\t  ");
  EXPECT_EQ(cast.source, s.hero.get());
  EXPECT_EQ(cast.target, s.hero.get());
  EXPECT_EQ(cast.action, motive::kIdle);
  EXPECT_EQ(cast.target_index, 0);

  motive guard = Choose(s, "2\n");
  EXPECT_EQ(guard.target, s.hero.get());
  EXPECT_EQ(guard.action, motive::kDefend);
  EXPECT_EQ(guard.target_index, 0);
}

TEST(BattleCommands, TargetScreenRepeatsUntilAFoePosition) {
  Skirmish s;
  s.goblins[1]->health.current = 0;  // the dead are listed and may be chosen
  std::string out;
  motive m = Choose(s, "0\n3\n-1\nx\n", &out);
  // "x" reads as 0, the first foe.
  EXPECT_EQ(m.action, motive::kAttack);
  EXPECT_EQ(m.target, s.goblins[0].get());
  EXPECT_EQ(m.target_index, 0);
  const std::string list = "\n\tTarget:\n\t  0) Gobbo\n\t  1) Snikkit\n\t  2) Grub\n\t  ";
  std::size_t shown = 0;
  for (std::size_t at = out.find(list); at != std::string::npos; at = out.find(list, at + 1)) ++shown;
  EXPECT_EQ(shown, 3u) << out;
  const std::size_t rule = out.find(std::string(80, '='));
  ASSERT_NE(rule, std::string::npos);
  EXPECT_EQ(out.substr(rule + 81, list.size()), list);

  motive dead = Choose(s, "0\n1\n");
  EXPECT_EQ(dead.target, s.goblins[1].get());
  EXPECT_EQ(dead.target_index, 1);
}

TEST(BattleCommands, OtherCommandsAttackAtRandom) {
  for (const char* command : {"5\n", "-1\n", "99999999999\n"}) {
    for (int wanted = 0; wanted < 3; ++wanted) {
      Skirmish s;
      const unsigned int seed = SeedWhere([wanted](int r) { return r / (32768 / 3) == wanted; });
      rng::Seed(seed);
      motive m = Choose(s, command);
      EXPECT_EQ(m.action, motive::kAttack) << command;
      EXPECT_EQ(m.target_index, wanted) << command;
      EXPECT_EQ(m.target, s.goblins[wanted].get()) << command;
    }
  }
  // The highest draws land on the last foe rather than past it.
  Skirmish s;
  rng::Seed(SeedWhere([](int r) { return r >= 32766; }));
  motive m = Choose(s, "7\n");
  EXPECT_EQ(m.target_index, 2);
  EXPECT_EQ(m.target, s.goblins[2].get());
}

// ---------------------------------------------------------------------------
// Roster

TEST(BattleRoster, TwoColumnsOfTenRows) {
  std::vector<std::unique_ptr<actor>> heroes;
  heroes.push_back(Fighter("Hero", 0, 0, 0, 20 * 256 + 128));
  heroes.push_back(Fighter("Bartholomew the Bold", 0, 0, 0, 0));
  std::vector<std::unique_ptr<actor>> goblins;
  for (int i = 0; i < 12; ++i) goblins.push_back(Fighter(("Goblin " + std::to_string(i)).c_str(), 0, 0, 0, 7 * 256));
  goblins[1]->health.current = 0;
  goblins[2]->health.current = 3 * 256;

  party allies{pstr<unsigned char>("Heroes"), 2, {heroes[0].get(), heroes[1].get()}};
  party foes;
  foes.name = pstr<unsigned char>("The Goblin Horde Of Kesh Mountain");
  foes.shared_members = true;
  for (auto& g : goblins) foes.AddMember(g.get());
  battle b;
  b.allies = &allies;
  b.foes = &foes;

  ConsoleCapture capture;
  b.Enemies();
  std::string expected = "\n" + std::string(8, ' ') + Pad("Heroes", 24) + std::string(11, ' ') +
                         "The Goblin Horde Of K...";
  expected += "\n" + std::string(10, ' ') + Pad("Hero", 16) + "HP" + " 20/20 " + std::string(10, ' ') +
              Pad("Goblin 0", 16) + "HP" + "  7/7  ";
  expected += "\n" + std::string(10, ' ') + "Bartholomew t..." + "HP" + "  DEAD " + std::string(10, ' ') +
              Pad("Goblin 1", 16) + "HP" + "  DEAD ";
  // Without an ally the foe column starts two columns further left.
  expected += "\n" + std::string(33, ' ') + std::string(10, ' ') + Pad("Goblin 2", 16) + "HP" + "  3/7  ";
  for (int i = 3; i < 10; ++i) {
    expected += "\n" + std::string(33, ' ') + std::string(10, ' ') + Pad("Goblin " + std::to_string(i), 16) + "HP" +
                "  7/7  ";
  }
  expected += "\n";
  EXPECT_EQ(capture.Output(), expected);
}

// ---------------------------------------------------------------------------
// Action report

TEST(BattleReport, AlliesFirstAndTheFallenDoNotAct) {
  Skirmish s;
  auto sidekick = Fighter("Sidekick", 0, 256, 0, 5 * 256);
  s.allies.shared_members = true;  // add the actors themselves, not copies
  s.allies.AddMember(sidekick.get());
  auto fallen = Fighter("Fallen", 25600, 256, 25600, 0);
  s.allies.AddMember(fallen.get());
  s.b.motives.assign(6, motive{});
  // Hero kills Gobbo; Gobbo would have attacked. Sidekick defends, Fallen
  // still has last round's attack but is dead, Grub is dead already,
  // Snikkit swings at the sidekick.
  s.goblins[2]->health.current = 0;
  s.b.motives[0] = motive{s.hero.get(), s.goblins[0].get(), motive::kAttack, 0};
  s.b.motives[1] = motive{sidekick.get(), sidekick.get(), motive::kDefend, 0};
  s.b.motives[2] = motive{fallen.get(), s.goblins[1].get(), motive::kAttack, 1};
  s.b.motives[3] = motive{s.goblins[0].get(), s.hero.get(), motive::kAttack, 0};
  s.b.motives[4] = motive{s.goblins[1].get(), sidekick.get(), motive::kAttack, 1};
  s.b.motives[5] = motive{s.goblins[2].get(), s.hero.get(), motive::kAttack, 0};
  rng::Seed(5);
  ConsoleCapture capture;
  s.b.ActionReport();
  EXPECT_EQ(capture.Output(),
            "Hero attacks Gobbo for 12 damage!\n\tGobbo has died!\n"
            "Sidekick guards against any attacks.\n"
            "Snikkit swings at Sidekick but misses!\n");
}

TEST(BattleReport, DefenceIsTheAttackedAllysOwnMotive) {
  Skirmish s;
  auto brute = Fighter("Brute", 25600, 256, 4096, 5000);
  party foes{pstr<unsigned char>("Brutes"), 1, {brute.get()}};
  s.b.foes = &foes;
  s.b.motives.assign(2, motive{});
  FullyGrown(*s.hero);
  s.b.motives[0] = motive{s.hero.get(), s.hero.get(), motive::kDefend, 0};
  s.b.motives[1] = motive{brute.get(), s.hero.get(), motive::kAttack, 0};
  const unsigned short before = s.hero->health.current;
  rng::Seed(SeedWhere([](int r) { return r >= 32512; }));  // roll 100: hit * 0.8 still beats it
  ConsoleCapture capture;
  s.b.ActionReport();
  EXPECT_EQ(capture.Output(), "Hero guards against any attacks.\nHero defends against Brute's blow!\n");
  EXPECT_EQ(before - s.hero->health.current, 256);
}

TEST(BattleReport, UnknownActionsDoNothing) {
  Skirmish s;
  s.b.motives.assign(4, motive{});
  s.b.motives[0] = motive{s.hero.get(), s.hero.get(), 7, 0};
  for (auto& g : s.goblins) g->health.current = 0;
  ConsoleCapture capture;
  s.b.ActionReport();
  EXPECT_EQ(capture.Output(), "");
}

}  // namespace
