#ifndef OSSIVAR_GAME_EXAMPLES_H
#define OSSIVAR_GAME_EXAMPLES_H

#include <vector>

#include "model/actor.h"
#include "model/career.h"
#include "model/party.h"
#include "model/race.h"

// The built-in example world: the content the game ships with. It is built
// at start-up and never changed.
namespace examples {

extern const race human;
extern const race elf;
extern const race dwarf;
extern const race clown;
extern const race furry;
extern const race harpie;
extern const race lizzie;
extern const race goblin;

extern const career janitor;
extern const career warrior;
extern const career archer;
extern const career agent;
extern const career berserker;
extern const career battlemage;
extern const career mage;
extern const career spellsword;
extern const career nightblade;
extern const career illusionist;
extern const career thief;
extern const career rogue;
extern const career spellprobe;
extern const career gob_warrior;
extern const career gob_thief;

extern actor bob;
extern actor john;
extern actor herbert;
extern actor janet;
extern actor goblin01;
extern actor goblin02;

extern party player;
extern party goblins01;
extern party goblins02;
extern party goblins03;

// Each kind in identifier order; the player's party comes first.
std::vector<const race*> Races();
std::vector<const career*> Careers();
std::vector<actor*> Actors();
std::vector<party*> Parties();

}  // namespace examples

#endif
