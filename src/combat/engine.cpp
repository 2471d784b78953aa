#include "combat/engine.h"

namespace combat {

std::size_t DrawnPosition(const int& draw, const std::size_t& count) {
  if (count == 0) return 0;
  std::size_t step = 32768u / count;
  if (step == 0) step = 1;
  const std::size_t position = static_cast<unsigned int>(draw) / step;
  // When count does not divide 32768 the top draws overshoot.
  return position < count ? position : count - 1;
}

std::size_t Living(const party& p) {
  std::size_t count = 0;
  for (const actor* member : p.members) {
    if (Alive(member)) ++count;
  }
  return count;
}

level_ups LevelStat(const actor* who, const unsigned short& amount, stat_aux* own, const stat_aux* opposing) {
  level_ups rose;
  const unsigned int against = opposing->get(false);
  if (against == 0) return rose;  // nothing to measure against
  const unsigned int scaled = static_cast<unsigned int>(amount) * own->get(false) / against;
  const unsigned short v = static_cast<unsigned short>(scaled);
  if (stat_swag* dominant = own->dom(); dominant != nullptr && dominant->Level(v)) {
    rose.items[rose.count++] = {who, dominant};
  }
  if (stat_swag* recessive = own->rec(); recessive != nullptr && recessive->Level(static_cast<unsigned short>(v >> 1))) {
    rose.items[rose.count++] = {who, recessive};
  }
  return rose;
}

fight_result engine::Fight(const std::size_t& max_rounds) {
  fight_result result;
  result.standing_allies = Living(*allies);
  result.standing_foes = Living(*foes);
  // Nothing to fight: the side that has members wins at once.
  if (AllyCount() == 0 || FoeCount() == 0) return result;

  motives.assign(AllyCount() + FoeCount(), motive{});
  do {
    PlayRound();
    ++result.rounds;
    result.standing_allies = Living(*allies);
    result.standing_foes = Living(*foes);
  } while (result.standing_allies > 0 && result.standing_foes > 0 &&
           (max_rounds == 0 || result.rounds < max_rounds));
  return result;
}

void engine::PlayRound() {
  RoundStarts();
  const std::size_t a = AllyCount();
  for (std::size_t k = 0; k < a; ++k) {
    actor* ally = allies->members[k];
    if (!Alive(ally)) continue;  // its old motive stays; it will not act
    if (ally->player_controlled) {
      Command(ally, motives[k]);
    } else {
      motives[k] = Idle(ally);
    }
  }
  // Enemies attack at random, dead allies included.
  for (std::size_t l = 0; l < FoeCount(); ++l) {
    const std::size_t idx = DrawnPosition(draws->Draw(), a);
    motives[a + l] = motive{foes->members[l], allies->members[idx], motive::kAttack, static_cast<std::int32_t>(idx)};
  }
  CarryOut();
}

motive engine::AttackFoe(actor* a, const std::size_t& position) const {
  return motive{a, foes->members[position], motive::kAttack, static_cast<std::int32_t>(position)};
}

motive engine::RandomAttack(actor* a) { return AttackFoe(a, DrawnPosition(draws->Draw(), FoeCount())); }

void engine::CarryOut() {
  ActionsStart();
  const std::size_t a = AllyCount();
  // The Health test is made at each turn, so whoever fell earlier in the
  // round does not act.
  for (std::size_t i = 0; i < a; ++i) {
    if (Alive(allies->members[i])) Act(i, a);
  }
  for (std::size_t j = 0; j < FoeCount(); ++j) {
    if (Alive(foes->members[j])) Act(a + j, 0);
  }
  ActionsEnd();
}

void engine::Act(const std::size_t& position, const std::size_t& opposing_start) {
  const motive& m = motives[position];
  switch (m.action) {
    case motive::kIdle:
    case motive::kDefend:
      Stood(m);
      break;
    case motive::kAttack:
      Struck(Strike(m, motives[opposing_start + static_cast<std::size_t>(m.target_index)]));
      break;
    default:
      break;
  }
}

attack_report engine::Strike(const motive& m, const motive& t) {
  attack_report report;
  report.attacker = m.source;
  report.target = m.target;
  actor* x = m.source;
  actor* y = m.target;
  // The draw is taken even when the target turns out to be dead.
  const double roll = Roll(draws->Draw());
  const attack_outcome outcome = ResolveAttack(*x, *y, t.action == motive::kDefend, roll);
  report.kind = outcome.kind;
  report.damage = outcome.damage;
  for (const experience_step& step : outcome.steps) {
    // The two may be one actor, so the other side is picked by role.
    actor* who = step.who == experience_step::kAttacker ? x : y;
    actor* other = step.who == experience_step::kAttacker ? y : x;
    const level_ups rose = LevelStat(who, step.amount, &(who->*step.own), &(other->*step.opposing));
    for (std::size_t i = 0; i < rose.count; ++i) report.levels[report.level_count++] = rose.items[i];
  }
  if (Lands(outcome.kind)) y->health.Damage(outcome.damage);
  // A corpse was dead before; nothing else but the blow lowers Health.
  report.died = outcome.kind != outcome_kind::kCorpse && !Alive(y);
  return report;
}

}  // namespace combat
