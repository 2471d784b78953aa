#ifndef OSSIVAR_COMBAT_BATTLE_H
#define OSSIVAR_COMBAT_BATTLE_H

#include <cstdint>
#include <vector>

#include "combat/attack.h"
#include "model/actor.h"
#include "model/party.h"
#include "model/stat.h"

// One combatant's chosen action for the current round.
class motive {
 public:
  static constexpr std::int32_t kIdle = 0;
  static constexpr std::int32_t kAttack = 1;
  static constexpr std::int32_t kDefend = 2;

  actor* source = nullptr;
  // The actor acted upon; the combatant itself when idle or defending.
  actor* target = nullptr;
  std::int32_t action = kIdle;
  // For an attack, the target's position within the opposing party.
  std::int32_t target_index = 0;
};

// One battle between the player's party and an enemy party. The creator
// sets both parties (they stay the creator's) and calls Battle().
class battle {
 public:
  // Where each round's seed comes from: the calendar time in seconds unless
  // replaced (tests replace it to make the draws repeatable).
  using SeedSource = unsigned int (*)();
  static unsigned int ClockSeed();

  party* allies = nullptr;
  party* foes = nullptr;
  // Allies in party order, then foes in party order.
  std::vector<motive> motives;
  SeedSource seed_source = &ClockSeed;

  // Rounds until one side has nobody standing. 0 when the player's side
  // still stands, 1 when it has been defeated (also when both fall).
  int Battle();

  // The command screen's choice for ally `a`, written into `m`.
  void PlayerInput(actor* a, motive& m);
  // The two-column roster of both parties.
  void Enemies();
  // Carries out and reports every motive of the round, allies first.
  void ActionReport();

  // Resolves one attack, reports it and applies it: `m` is the attacker's
  // motive, `t` the target's own.
  void Attack(const motive& m, const motive& t);
  // The comparison every attack makes (combat::StatCompare).
  static double StatCompare(const stat_base* first, const stat_base* second);
  // Turns `amount` into experience for the primaries behind `own`, scaled by
  // how `own` measures up to `opposing`.
  void LevelStat(const actor* who, const unsigned short& amount, stat_aux* own, const stat_aux* opposing);

 private:
  std::size_t AllyCount() const;
  std::size_t FoeCount() const;
  void PlayRound();
  int ChooseTarget(actor* a);
  // Carries out motives[position]; an attack's target motive lies at
  // opposing_start + target_index.
  void Act(const std::size_t& position, const std::size_t& opposing_start);
  void ShowEnd(const char* text);
  void ApplyStep(actor* attacker, actor* target, const combat::experience_step& step);
};

namespace combat {

// The position r / (32768 / n) for a draw r; draws that would land past the
// end take the last position.
std::size_t DrawnPosition(const int& draw, const std::size_t& count);

}  // namespace combat

#endif
