#ifndef OSSIVAR_TOOLS_TOV_CHECK_H
#define OSSIVAR_TOOLS_TOV_CHECK_H

#include "loaded.h"

// What a player would meet in the game with this content, whatever file
// form it came from: identifiers the next save would renumber, references
// the game would resolve to the wrong record or to none, aspects it would
// read as others, and whatever makes the game refuse the file.
namespace check {

tov::problems Content(const tov::loaded& file);

}  // namespace check

#endif
