#ifndef OSSIVAR_COMBAT_BATTLE_H
#define OSSIVAR_COMBAT_BATTLE_H

#include "combat/attack.h"
#include "combat/engine.h"
#include "model/actor.h"
#include "model/party.h"
#include "model/stat.h"

// One battle on the game's screens. The creator sets both parties (they
// stay the creator's) and calls Battle(). The engine decides everything;
// these screens ask the player for commands and show what was decided.
class battle : public combat::engine {
 public:
  // Where each round's seed comes from: the calendar time in seconds unless
  // replaced (tests replace it to make the draws repeatable).
  using SeedSource = unsigned int (*)();
  static unsigned int ClockSeed();

  SeedSource seed_source = &ClockSeed;

  // Rounds until one side has nobody standing, then the end screens. 0 when
  // the player's side still stands, 1 when it has been defeated (also when
  // both fall).
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
  // Levels as combat::LevelStat does and tells each whole point gained.
  void LevelStat(const actor* who, const unsigned short& amount, stat_aux* own, const stat_aux* opposing);

 protected:
  void RoundStarts() override;
  void Command(actor* ally, motive& m) override;
  void ActionsStart() override;
  void ActionsEnd() override;
  void Stood(const motive& m) override;
  void Struck(const combat::attack_report& report) override;

 private:
  int ChooseTarget(actor* a);
  void ShowEnd(const char* text);
};

#endif
