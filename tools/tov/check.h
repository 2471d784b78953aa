#ifndef OSSIVAR_TOOLS_TOV_CHECK_H
#define OSSIVAR_TOOLS_TOV_CHECK_H

#include "content.h"

// What a player would meet in the game with this content, whatever file
// form it came from: identifiers the next save would renumber, references
// the game would resolve to the wrong record or to none, aspects it would
// read as others, and the parties and races a new game needs.
namespace check {

tov::problems Content(const tov::content& file);

}  // namespace check

#endif
