#ifndef OSSIVAR_COMBAT_ATTACK_H
#define OSSIVAR_COMBAT_ATTACK_H

#include <vector>

#include "model/actor.h"
#include "model/stat.h"

// How one attack turns out, worked out without printing or changing
// anything, so the battle can report it and then apply it.
namespace combat {

enum class outcome_kind { kCorpse, kMiss, kDefended, kDodged, kHit, kGraze };

// One call of the levelling step: `who` gains `amount`, scaled by how its
// `own` stat measures up to the other combatant's `opposing` one.
struct experience_step {
  enum gainer { kAttacker, kTarget };

  gainer who;
  stat_aux actor::*own;
  stat_aux actor::*opposing;
  unsigned short amount;

  bool operator==(const experience_step&) const = default;
};

struct attack_outcome {
  outcome_kind kind = outcome_kind::kCorpse;
  // What the target's Health takes when the blow lands.
  unsigned short damage = 0;
  // In the order they are applied, all before the damage, so the target's
  // Health counts as it was before the blow.
  std::vector<experience_step> steps;
};

// r in 0..32767 to k * 0.78125 for k = 1..128.
double Roll(const int& draw);

// (A - B) / (A + B) * 0.5 + 0.5 of the two current values: 0 to 1, and
// not a number when both are 0.
double StatCompare(const stat_base* first, const stat_base* second);

// The attacker's Precision against the target's Reflex and the roll decide
// the kind; the attacker's Attack Damage decides the damage.
attack_outcome ResolveAttack(const actor& attacker, const actor& target, const bool& target_defends,
                             const double& roll);

// Whether the target's Health takes the outcome's damage. A landed blow of
// 0 still counts: taking damage resets the wound.
bool Lands(const outcome_kind& kind);

}  // namespace combat

#endif
