#ifndef OSSIVAR_TOOLS_TOV_COMMANDS_H
#define OSSIVAR_TOOLS_TOV_COMMANDS_H

#include <ostream>
#include <string>
#include <vector>

// The tool's command line apart from the process: what `tov ARGS...`
// prints on its standard output and error, and the exit status.
namespace commands {

constexpr int kSound = 0;     // done; for check: the file is sound
constexpr int kProblems = 1;  // the file has problems or could not be read or written
constexpr int kUsage = 2;     // the command line is wrong

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace commands

#endif
