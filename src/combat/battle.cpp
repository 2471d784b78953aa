#include "combat/battle.h"

#include <iostream>
#include <string>

#include "character_sheet/sheet.h"
#include "console/console_util.h"
#include "console/text_layout.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/wall_clock.h"

namespace combat {

std::size_t DrawnPosition(const int& draw, const std::size_t& count) {
  if (count == 0) return 0;
  std::size_t step = 32768u / count;
  if (step == 0) step = 1;
  const std::size_t position = static_cast<unsigned int>(draw) / step;
  // When count does not divide 32768 the top draws overshoot.
  return position < count ? position : count - 1;
}

}  // namespace combat

namespace {

bool Alive(const actor* a) { return a->health.get(false) != 0; }

std::size_t Living(party* p) {
  std::size_t count = 0;
  for (actor** it = p->Begin(); it != p->End(); ++it) {
    if (Alive(*it)) ++count;
  }
  return count;
}

// Left-aligned and padded without touching the stream's own format.
std::string Column(const pstr<unsigned char>& name, const unsigned& width) {
  std::string text = Truncate(name, width);
  text.append(width - text.size(), ' ');
  return text;
}

void RosterEntry(const actor* a) {
  std::cout << Column(a->name, 16) << "HP";
  if (Alive(a)) {
    std::cout << a->health;
  } else {
    std::cout << "  DEAD ";
  }
}

// The line each outcome is reported with; names as stored, unpadded.
void Announce(const actor& x, const actor& y, const combat::attack_outcome& outcome) {
  switch (outcome.kind) {
    case combat::outcome_kind::kCorpse:
      std::cout << x.name << " kicks " << y.name << "'s corpse.\n";
      break;
    case combat::outcome_kind::kMiss:
      std::cout << x.name << " swings at " << y.name << " but misses!\n";
      break;
    case combat::outcome_kind::kDefended:
      std::cout << y.name << " defends against " << x.name << "'s blow!\n";
      break;
    case combat::outcome_kind::kDodged:
      std::cout << y.name << " dodges " << x.name << "'s attack at the last second!\n";
      break;
    case combat::outcome_kind::kHit:
      std::cout << x.name << " attacks " << y.name << " for " << (outcome.damage >> 8) << " damage!\n";
      break;
    case combat::outcome_kind::kGraze:
      std::cout << x.name << " grazes " << y.name << " with a weak blow!\n";
      break;
  }
}

void LevelMessage(const actor* who, const stat_swag* primary) {
  std::cout << '\t' << who->name << "'s " << primary->name << " has leveled!\n";
}

}  // namespace

unsigned int battle::ClockSeed() { return static_cast<unsigned int>(wall_clock::Now()); }

std::size_t battle::AllyCount() const { return allies->members.size(); }
std::size_t battle::FoeCount() const { return foes->members.size(); }

int battle::Battle() {
  const std::size_t a = AllyCount();
  const std::size_t f = FoeCount();
  // Nothing to fight: the side that has members wins at once.
  if (a == 0) return 1;
  if (f == 0) return 0;

  motives.assign(a + f, motive{});
  std::size_t standing_allies = 0;
  std::size_t standing_foes = 0;
  do {
    PlayRound();
    standing_allies = Living(allies);
    standing_foes = Living(foes);
  } while (standing_allies > 0 && standing_foes > 0);

  if (standing_foes == 0) ShowEnd("You are victorious!\n");
  if (standing_allies == 0) {
    ShowEnd("You have been defeated!\n");
    return 1;
  }
  return 0;
}

void battle::ShowEnd(const char* text) {
  console::NewScreen();
  std::cout << text;
  console::Pause();
}

void battle::PlayRound() {
  rng::Seed(seed_source());
  const std::size_t a = AllyCount();
  for (std::size_t k = 0; k < a; ++k) {
    actor* ally = allies->members[k];
    if (!Alive(ally)) continue;  // its old motive stays; it will not act
    if (ally->player_controlled) {
      // The header clears the screen itself.
      CharGen::Header(ally, CharGen::kSheetAll);
      Enemies();
      PlayerInput(ally, motives[k]);
    } else {
      motives[k] = motive{ally, ally, motive::kIdle, 0};
    }
  }
  // Enemies attack at random, dead allies included.
  for (std::size_t l = 0; l < FoeCount(); ++l) {
    const std::size_t idx = combat::DrawnPosition(rng::Draw(), a);
    motives[a + l] = motive{foes->members[l], allies->members[idx], motive::kAttack, static_cast<std::int32_t>(idx)};
  }
  ActionReport();
}

void battle::PlayerInput(actor* a, motive& m) {
  std::cout << "\tCommand for " << a->name << ":\n\t  "
            << "0) Attack\n\t  "
            << "1) Cast\n\t  "
            << "2) Defend\n\t  ";
  const int command = input::ReadInt();
  if (command == 0) {
    const int t = ChooseTarget(a);
    m = motive{a, foes->members[static_cast<std::size_t>(t)], motive::kAttack, t};
  } else if (command == 1) {
    // Casting does nothing yet: the ally stands idle.
    m = motive{a, a, motive::kIdle, 0};
  } else if (command == 2) {
    m = motive{a, a, motive::kDefend, 0};
  } else {
    const std::size_t idx = combat::DrawnPosition(rng::Draw(), FoeCount());
    m = motive{a, foes->members[idx], motive::kAttack, static_cast<std::int32_t>(idx)};
  }
}

int battle::ChooseTarget(actor* a) {
  const int count = static_cast<int>(FoeCount());
  for (;;) {
    CharGen::Header(a, CharGen::kSheetAll);
    std::cout << "\n\tTarget:\n\t  ";
    for (int i = 0; i < count; ++i) {
      std::cout << i << ") " << foes->members[static_cast<std::size_t>(i)]->name << "\n\t  ";
    }
    const int t = input::ReadInt();
    if (t >= 0 && t < count) return t;
  }
}

void battle::Enemies() {
  const std::size_t a = AllyCount();
  const std::size_t f = FoeCount();
  std::cout << '\n'
            << std::string(8, ' ') << Column(allies->name, 24) << std::string(11, ' ') << Column(foes->name, 24);
  for (std::size_t i = 0; i < 10; ++i) {
    if (i < a) {
      std::cout << '\n' << std::string(10, ' ');
      RosterEntry(allies->members[i]);
    } else {
      std::cout << '\n' << std::string(33, ' ');
    }
    if (i < f) {
      std::cout << std::string(10, ' ');
      RosterEntry(foes->members[i]);
    }
  }
  std::cout << '\n';
}

void battle::ActionReport() {
  console::NewScreen();
  const std::size_t a = AllyCount();
  // The Health test is made at each turn, so whoever fell earlier in the
  // round does not act.
  for (std::size_t i = 0; i < a; ++i) {
    if (Alive(allies->members[i])) Act(i, a);
  }
  for (std::size_t j = 0; j < FoeCount(); ++j) {
    if (Alive(foes->members[j])) Act(a + j, 0);
  }
  console::Pause();
}

void battle::Act(const std::size_t& position, const std::size_t& opposing_start) {
  const motive& m = motives[position];
  switch (m.action) {
    case motive::kIdle:
      std::cout << m.source->name << " stands there. Menacingly.\n";
      break;
    case motive::kDefend:
      std::cout << m.source->name << " guards against any attacks.\n";
      break;
    case motive::kAttack:
      Attack(m, motives[opposing_start + static_cast<std::size_t>(m.target_index)]);
      break;
    default:
      break;
  }
}

double battle::StatCompare(const stat_base* first, const stat_base* second) {
  return combat::StatCompare(first, second);
}

void battle::Attack(const motive& m, const motive& t) {
  actor* x = m.source;
  actor* y = m.target;
  // The draw is taken even when the target turns out to be dead.
  const double roll = combat::Roll(rng::Draw());
  const combat::attack_outcome outcome = combat::ResolveAttack(*x, *y, t.action == motive::kDefend, roll);
  Announce(*x, *y, outcome);
  for (const combat::experience_step& step : outcome.steps) ApplyStep(x, y, step);
  if (combat::Lands(outcome.kind)) y->health.Damage(outcome.damage);
  // A corpse was dead before; nothing else but the blow lowers Health.
  if (outcome.kind != combat::outcome_kind::kCorpse && !Alive(y)) std::cout << '\t' << y->name << " has died!\n";
}

void battle::ApplyStep(actor* attacker, actor* target, const combat::experience_step& step) {
  // The two may be one actor, so the other side is picked by role.
  actor* who = step.who == combat::experience_step::kAttacker ? attacker : target;
  actor* other = step.who == combat::experience_step::kAttacker ? target : attacker;
  LevelStat(who, step.amount, &(who->*step.own), &(other->*step.opposing));
}

void battle::LevelStat(const actor* who, const unsigned short& amount, stat_aux* own, const stat_aux* opposing) {
  const unsigned int against = opposing->get(false);
  if (against == 0) return;  // nothing to measure against
  const unsigned int scaled = static_cast<unsigned int>(amount) * own->get(false) / against;
  const unsigned short v = static_cast<unsigned short>(scaled);
  if (stat_swag* dominant = own->dom(); dominant != nullptr && dominant->Level(v)) LevelMessage(who, dominant);
  if (stat_swag* recessive = own->rec(); recessive != nullptr && recessive->Level(static_cast<unsigned short>(v >> 1))) {
    LevelMessage(who, recessive);
  }
}
