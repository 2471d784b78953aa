#ifndef OSSIVAR_TOOLS_TOV_CHECK_H
#define OSSIVAR_TOOLS_TOV_CHECK_H

#include <string>

#include "loaded.h"

// Content judged as the game would meet it, whatever file form it came from.
namespace check {

// What a player would meet: identifiers the next save would renumber,
// references the game would resolve to the wrong record or to none,
// aspects it would read as others, and whatever makes the game refuse the
// file.
tov::problems Content(const tov::loaded& file);

// What players will never see, though the game plays on: enemy parties
// battles never or practically never draw, and lists of playable races or
// careers so long that the character sheet above them scrolls away.
tov::problems Warnings(const tov::loaded& file);

// A party as diagnoses name it: where it is, and its name.
std::string PartyPlace(const tov::loaded& file, const std::size_t& position);

}  // namespace check

#endif
