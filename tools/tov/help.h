#ifndef OSSIVAR_TOOLS_TOV_HELP_H
#define OSSIVAR_TOOLS_TOV_HELP_H

#include <string>

// What tov --help and tov COMMAND --help print.
namespace help {

extern const char* const kMain;
// What dump prints, with every record's fields from its field list.
std::string Dump();
extern const char* const kBuild;
extern const char* const kCheck;

}  // namespace help

#endif
