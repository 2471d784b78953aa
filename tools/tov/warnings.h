#ifndef OSSIVAR_TOOLS_TOV_WARNINGS_H
#define OSSIVAR_TOOLS_TOV_WARNINGS_H

#include <string>
#include <vector>

#include "loaded.h"

// What players will never see, though the game plays on: enemy parties
// battles never or practically never draw, and lists of playable races or
// careers so long that the character sheet above them scrolls away.
namespace warnings {

tov::problems Find(const tov::loaded& file);

// The terminal lines the race and career screens take with this content,
// from the sheet at the top to the line the player types on.
int RaceScreenLines(const tov_file& file);
int CareerScreenLines(const tov_file& file);

}  // namespace warnings

#endif
