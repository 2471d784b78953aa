#include "combat/battle.h"

#include <iostream>
#include <string>

#include "character_sheet/sheet.h"
#include "console/console_util.h"
#include "console/text_layout.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/wall_clock.h"

namespace {

// Left-aligned and padded without touching the stream's own format.
std::string Column(const pstr<unsigned char>& name, const unsigned& width) {
  std::string text = Truncate(name, width);
  text.append(width - text.size(), ' ');
  return text;
}

void RosterEntry(const actor* a) {
  std::cout << Column(a->name, 16) << "HP";
  if (combat::Alive(a)) {
    std::cout << a->health;
  } else {
    std::cout << "  DEAD ";
  }
}

// The line each outcome is reported with; names as stored, unpadded.
void Announce(const actor& x, const actor& y, const combat::attack_report& report) {
  switch (report.kind) {
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
      std::cout << x.name << " attacks " << y.name << " for " << (report.damage >> 8) << " damage!\n";
      break;
    case combat::outcome_kind::kGraze:
      std::cout << x.name << " grazes " << y.name << " with a weak blow!\n";
      break;
  }
}

void LevelMessage(const combat::level_up& rose) {
  std::cout << '\t' << rose.who->name << "'s " << rose.primary->name << " has leveled!\n";
}

}  // namespace

unsigned int battle::ClockSeed() { return static_cast<unsigned int>(wall_clock::Now()); }

int battle::Battle() {
  // Nothing to fight: the side that has members wins at once.
  if (AllyCount() == 0) return 1;
  if (FoeCount() == 0) return 0;
  const combat::fight_result result = Fight();
  if (result.standing_foes == 0) ShowEnd("You are victorious!\n");
  if (result.Lost()) {
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

void battle::RoundStarts() { draws->Seed(seed_source()); }

void battle::Command(actor* ally, motive& m) {
  // The header clears the screen itself.
  CharGen::Header(ally, CharGen::kSheetAll);
  Enemies();
  PlayerInput(ally, m);
}

void battle::PlayerInput(actor* a, motive& m) {
  std::cout << "\tCommand for " << a->name << ":\n\t  "
            << "0) Attack\n\t  "
            << "1) Cast\n\t  "
            << "2) Defend\n\t  ";
  const int command = input::ReadInt();
  if (command == 0) {
    m = AttackFoe(a, static_cast<std::size_t>(ChooseTarget(a)));
  } else if (command == 1) {
    // Casting does nothing yet: the ally stands idle.
    m = Idle(a);
  } else if (command == 2) {
    m = Defend(a);
  } else {
    m = RandomAttack(a);
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

void battle::ActionReport() { CarryOut(); }

void battle::ActionsStart() { console::NewScreen(); }

void battle::ActionsEnd() { console::Pause(); }

void battle::Stood(const motive& m) {
  if (m.action == motive::kIdle) {
    std::cout << m.source->name << " stands there. Menacingly.\n";
  } else {
    std::cout << m.source->name << " guards against any attacks.\n";
  }
}

void battle::Struck(const combat::attack_report& report) {
  Announce(*report.attacker, *report.target, report);
  for (std::size_t i = 0; i < report.level_count; ++i) LevelMessage(report.levels[i]);
  if (report.died) std::cout << '\t' << report.target->name << " has died!\n";
}

double battle::StatCompare(const stat_base* first, const stat_base* second) {
  return combat::StatCompare(first, second);
}

void battle::Attack(const motive& m, const motive& t) { Struck(Strike(m, t)); }

void battle::LevelStat(const actor* who, const unsigned short& amount, stat_aux* own, const stat_aux* opposing) {
  const combat::level_ups rose = combat::LevelStat(who, amount, own, opposing);
  for (std::size_t i = 0; i < rose.count; ++i) LevelMessage(rose.items[i]);
}
