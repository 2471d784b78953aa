#ifndef OSSIVAR_TOOLS_TOV_HELP_H
#define OSSIVAR_TOOLS_TOV_HELP_H

// What tov --help and tov COMMAND --help print.
namespace help {

extern const char* const kMain;
extern const char* const kDump;
extern const char* const kBuild;
extern const char* const kCheck;

}  // namespace help

#endif
