#ifndef OSSIVAR_COMBAT_ATTACK_H
#define OSSIVAR_COMBAT_ATTACK_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>

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

// An attack's steps, at most four, kept in place: resolving an attack
// allocates nothing, which the arena's millions of attacks feel.
class step_list {
 public:
  using value_type = experience_step;
  using iterator = const experience_step*;
  using const_iterator = const experience_step*;

  step_list() = default;
  step_list(std::initializer_list<experience_step> steps) {
    for (const experience_step& s : steps) {
      if (count_ < items_.size()) items_[count_++] = s;
    }
  }

  const experience_step* begin() const { return items_.data(); }
  const experience_step* end() const { return items_.data() + count_; }
  std::size_t size() const { return count_; }
  bool operator==(const step_list& other) const { return std::equal(begin(), end(), other.begin(), other.end()); }

 private:
  std::array<experience_step, 4> items_{};
  std::size_t count_ = 0;
};

struct attack_outcome {
  outcome_kind kind = outcome_kind::kCorpse;
  // What the target's Health takes when the blow lands.
  unsigned short damage = 0;
  // In the order they are applied, all before the damage, so the target's
  // Health counts as it was before the blow.
  step_list steps;
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
