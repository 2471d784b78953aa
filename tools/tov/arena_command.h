#ifndef OSSIVAR_TOOLS_TOV_ARENA_COMMAND_H
#define OSSIVAR_TOOLS_TOV_ARENA_COMMAND_H

#include <ostream>

#include "arena.h"
#include "loaded.h"

// tov arena once its file has loaded: the run, with a progress bar and
// Ctrl-C on a terminal, and what it found in the form asked for.
namespace arena_command {

// The tool's exit status: 0 done (warnings or not), 1 an SVG that cannot
// be written, 2 a file that has nothing to fight, 130 stopped by Ctrl-C
// (the results so far are still printed).
int Run(const tov::loaded& file, const arena::options& how, std::ostream& out, std::ostream& err);

}  // namespace arena_command

#endif
