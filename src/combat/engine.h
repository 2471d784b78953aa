#ifndef OSSIVAR_COMBAT_ENGINE_H
#define OSSIVAR_COMBAT_ENGINE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "combat/attack.h"
#include "model/actor.h"
#include "model/party.h"
#include "model/stat.h"
#include "platform/random.h"

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

namespace combat {

// The position r / (32768 / n) for a draw r; draws that would land past the
// end take the last position.
std::size_t DrawnPosition(const int& draw, const std::size_t& count);

// A primary stat of `who` whose whole part rose.
struct level_up {
  const actor* who = nullptr;
  const stat_swag* primary = nullptr;
};

// What one levelling step raised by a whole point: at most its two
// primaries, dominant first.
struct level_ups {
  std::array<level_up, 2> items{};
  std::size_t count = 0;
};

// Turns `amount` into experience for the primaries behind `own`, scaled by
// how `own` measures up to `opposing`; nothing when `opposing` is 0.
level_ups LevelStat(const actor* who, const unsigned short& amount, stat_aux* own, const stat_aux* opposing);

// Everything one attack did, in the order it is told.
struct attack_report {
  actor* attacker = nullptr;
  actor* target = nullptr;
  outcome_kind kind = outcome_kind::kCorpse;
  unsigned short damage = 0;
  // Four steps of two primaries at most.
  std::array<level_up, 8> levels{};
  std::size_t level_count = 0;
  // The blow took the target's last Health.
  bool died = false;
};

// How a fight ended: the living on each side when it stopped.
struct fight_result {
  std::size_t rounds = 0;
  std::size_t standing_allies = 0;
  std::size_t standing_foes = 0;

  bool Won() const { return standing_foes == 0 && standing_allies > 0; }
  // Both sides falling together is a defeat.
  bool Lost() const { return standing_allies == 0; }
  bool Unfinished() const { return !Won() && !Lost(); }
};

// The battle's rules, all of them, and nothing it shows: the round's
// commands, the enemies' targets, the action order, attacks, defence, the
// idle Cast, levelling and the end. The game's screens and the arena both
// run battles through it; what differs between them are the hooks: where
// the player's commands come from, and who watches what was decided.
class engine {
 public:
  party* allies = nullptr;
  party* foes = nullptr;
  // Allies in party order, then foes in party order.
  std::vector<motive> motives;
  // Every draw of the battle.
  rng::generator* draws = &rng::Shared();

  engine() = default;
  engine(const engine&) = default;
  engine& operator=(const engine&) = default;
  virtual ~engine() = default;

  // Rounds until one side has nobody standing, or until `max_rounds` have
  // been played (0: no limit). At least one round when both sides have
  // members; none otherwise.
  fight_result Fight(const std::size_t& max_rounds = 0);

  // One round: commands, enemy choices, then every action in order.
  void PlayRound();
  // Carries out every motive of the round, allies first; whoever has fallen
  // by their turn does not act.
  void CarryOut();
  // Resolves and applies one attack: `m` is the attacker's motive, `t` the
  // target's own. Takes one draw, also when the target is dead.
  attack_report Strike(const motive& m, const motive& t);

  // The commands an ally can be given.
  static motive Idle(actor* a) { return motive{a, a, motive::kIdle, 0}; }
  static motive Defend(actor* a) { return motive{a, a, motive::kDefend, 0}; }
  motive AttackFoe(actor* a, const std::size_t& position) const;
  // One draw picks the foe, dead foes included.
  motive RandomAttack(actor* a);

  std::size_t AllyCount() const { return allies->members.size(); }
  std::size_t FoeCount() const { return foes->members.size(); }

 protected:
  // Before each round's commands.
  virtual void RoundStarts() {}
  // A living player-controlled ally's command for this round.
  virtual void Command(actor* ally, motive& m) = 0;
  // Around the actions of a round.
  virtual void ActionsStart() {}
  virtual void ActionsEnd() {}
  // An idle or defending combatant's turn, and an attack's.
  virtual void Stood(const motive&) {}
  virtual void Struck(const attack_report&) {}

 private:
  // Carries out motives[position]; an attack's target motive lies at
  // opposing_start + target_index.
  void Act(const std::size_t& position, const std::size_t& opposing_start);
};

// Alive exactly while Health is above 0.
inline bool Alive(const actor* a) { return a->health.get(false) != 0; }
std::size_t Living(const party& p);

}  // namespace combat

#endif
