#include "combat/attack.h"

namespace combat {
namespace {

using step = experience_step;

// The attacker aims with Precision against the target's Reflex.
step Aim(const step::gainer& who, const int& amount) {
  const unsigned short a = static_cast<unsigned short>(amount);
  if (who == step::kAttacker) return {who, &actor::precision, &actor::reflex, a};
  return {who, &actor::reflex, &actor::precision, a};
}

// The attacker's Attack Damage against the target's Health.
step Force(const step::gainer& who, const int& amount) {
  const unsigned short a = static_cast<unsigned short>(amount);
  if (who == step::kAttacker) return {who, &actor::attack_damage, &actor::health, a};
  return {who, &actor::health, &actor::attack_damage, a};
}

}  // namespace

double Roll(const int& draw) { return ((draw >> 8) + 1) * 0.0078125 * 100; }

double StatCompare(const stat_base* first, const stat_base* second) {
  const double a = first->get(false);
  const double b = second->get(false);
  return (a - b) / (a + b) * 0.5f + 0.5f;
}

attack_outcome ResolveAttack(const actor& attacker, const actor& target, const bool& target_defends,
                             const double& roll) {
  const unsigned short dmg = static_cast<unsigned short>(attacker.attack_damage.get(false) >> 3);
  const double hit = StatCompare(&attacker.precision, &target.reflex) * 128.0;

  if (target.health.get(false) == 0) return {outcome_kind::kCorpse, 0, {}};
  // Written so that a hit score that is not a number misses too.
  if (!(hit > roll)) {
    const unsigned short whole_roll = static_cast<unsigned short>(roll);
    return {outcome_kind::kMiss, 0, {Aim(step::kAttacker, 2 * whole_roll), Aim(step::kTarget, whole_roll >> 1)}};
  }

  const unsigned short h = static_cast<unsigned short>(hit * 50);
  if (target_defends) {
    const unsigned short half = static_cast<unsigned short>(dmg >> 1);
    if (hit * 0.8 > roll) {
      return {outcome_kind::kDefended,
              half,
              {Force(step::kAttacker, 2 * half), Force(step::kTarget, 2 * half), Aim(step::kAttacker, 2 * h),
               Aim(step::kTarget, h >> 1)}};
    }
    return {outcome_kind::kDodged, 0, {Aim(step::kAttacker, h >> 1), Aim(step::kTarget, 2 * h)}};
  }
  return {dmg > 256 ? outcome_kind::kHit : outcome_kind::kGraze,
          dmg,
          {Force(step::kAttacker, dmg), Force(step::kTarget, dmg >> 1), Aim(step::kAttacker, h),
           Aim(step::kTarget, h >> 1)}};
}

bool Lands(const outcome_kind& kind) {
  return kind == outcome_kind::kDefended || kind == outcome_kind::kHit || kind == outcome_kind::kGraze;
}

}  // namespace combat
