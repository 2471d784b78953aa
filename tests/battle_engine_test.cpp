// The battle engine against the game's screens: the same commands and the
// same draws end the same battle.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "combat/battle.h"
#include "combat/engine.h"
#include "game/examples.h"
#include "model/party.h"
#include "platform/random.h"
#include "support/test_support.h"

namespace {

using test_support::ConsoleCapture;

// One command a player types: the number, and for an attack the target.
struct typed {
  int command;
  int target;
};

const std::vector<typed> kPlan = {{0, 1}, {2, 0}, {1, 0}, {7, 0}, {0, 0}, {-3, 0}};

std::string Script(const std::size_t& repeats) {
  std::string script;
  for (std::size_t i = 0; i < repeats; ++i) {
    for (const typed& t : kPlan) {
      script += std::to_string(t.command) + "\n";
      if (t.command == 0) script += std::to_string(t.target) + "\n";
    }
  }
  return script;
}

// Private copies of a party's members, as the session fights with.
party Copy(const party& source, const bool& player) {
  party copy;
  copy.name = source.name;
  for (actor* member : source.members) copy.AddMember(member);
  for (actor* member : copy.members) {
    member->Restore();
    member->player_controlled = player;
  }
  return copy;
}

unsigned int round_seed = 0;
unsigned int NextSeed() { return round_seed++; }

// Every record of a side in its file form: what a save would hold.
std::string Saved(const party& side) {
  std::ostringstream bytes;
  for (const actor* member : side.members) bytes << *member;
  return bytes.str();
}

std::string Told(const combat::attack_report& r) {
  std::ostringstream text;
  text << r.attacker->name.str() << '>' << r.target->name.str() << ':' << static_cast<int>(r.kind) << '/'
       << r.damage;
  for (std::size_t i = 0; i < r.level_count; ++i) text << '+' << r.levels[i].primary->name;
  text << (r.died ? "!" : "") << '\n';
  return text.str();
}

// The screens, with every attack they show written down.
class watched_battle : public battle {
 public:
  std::string told;

 protected:
  void Struck(const combat::attack_report& report) override {
    told += Told(report);
    battle::Struck(report);
  }
};

// The engine alone: the plan's commands in turn, the same seeds per round.
class planned_fight : public combat::engine {
 public:
  std::string told;
  rng::generator own;
  std::size_t next = 0;

  planned_fight() { draws = &own; }

 protected:
  void RoundStarts() override { own.Seed(NextSeed()); }
  void Command(actor* ally, motive& m) override {
    const typed& t = kPlan[next++ % kPlan.size()];
    if (t.command == 0) {
      m = AttackFoe(ally, static_cast<std::size_t>(t.target));
    } else if (t.command == 1) {
      m = Idle(ally);
    } else if (t.command == 2) {
      m = Defend(ally);
    } else {
      m = RandomAttack(ally);
    }
  }
  void Struck(const combat::attack_report& report) override { told += Told(report); }
};

TEST(BattleEngine, ScreensAndEngineEndTheSameBattleAlike) {
  int battles_won = 0;
  for (party* enemies : {&examples::goblins01, &examples::goblins02, &examples::goblins03}) {
    for (unsigned int first_seed : {1u, 977u, 123456u}) {
      SCOPED_TRACE(enemies->name.str() + " from seed " + std::to_string(first_seed));
      party screen_allies = Copy(examples::player, true);
      party screen_foes = Copy(*enemies, false);
      party engine_allies = Copy(examples::player, true);
      party engine_foes = Copy(*enemies, false);

      watched_battle shown;
      shown.allies = &screen_allies;
      shown.foes = &screen_foes;
      shown.seed_source = &NextSeed;
      round_seed = first_seed;
      int result = 0;
      std::string screens;
      {
        ConsoleCapture capture(Script(200));
        result = shown.Battle();
        screens = capture.Output();
      }

      planned_fight fought;
      fought.allies = &engine_allies;
      fought.foes = &engine_foes;
      round_seed = first_seed;
      const combat::fight_result ended = fought.Fight();

      EXPECT_EQ(result, ended.Lost() ? 1 : 0);
      EXPECT_FALSE(ended.Unfinished());
      EXPECT_GT(ended.rounds, 0u);
      EXPECT_EQ(shown.told, fought.told);
      EXPECT_FALSE(fought.told.empty());
      EXPECT_EQ(Saved(screen_allies), Saved(engine_allies));
      EXPECT_EQ(Saved(screen_foes), Saved(engine_foes));
      // The screens tell every whole point the engine reported.
      std::size_t levels = 0;
      for (std::size_t at = screens.find("has leveled!"); at != std::string::npos;
           at = screens.find("has leveled!", at + 1)) {
        ++levels;
      }
      std::size_t reported = 0;
      for (char c : fought.told) reported += c == '+' ? 1 : 0;
      EXPECT_EQ(levels, reported);
      if (!ended.Lost()) ++battles_won;
    }
  }
  // Both ends are covered by the cases above.
  EXPECT_GT(battles_won, 0);
  EXPECT_LT(battles_won, 9);
}

TEST(BattleEngine, RoundLimitLeavesTheBattleUnfinished) {
  // Two guards who only defend against foes too weak to hurt them.
  party allies = Copy(examples::player, true);
  party foes = Copy(examples::goblins01, false);
  for (actor* foe : foes.members) foe->attack_damage.current = 0;
  class guarding : public combat::engine {
   protected:
    void Command(actor* ally, motive& m) override { m = Defend(ally); }
  } fight;
  rng::generator own(5);
  fight.draws = &own;
  fight.allies = &allies;
  fight.foes = &foes;
  const combat::fight_result ended = fight.Fight(25);
  EXPECT_EQ(ended.rounds, 25u);
  EXPECT_TRUE(ended.Unfinished());
  EXPECT_FALSE(ended.Won());
  EXPECT_FALSE(ended.Lost());
}

}  // namespace
