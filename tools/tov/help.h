#ifndef OSSIVAR_TOOLS_TOV_HELP_H
#define OSSIVAR_TOOLS_TOV_HELP_H

#include <string>

// What tov --help and tov COMMAND --help print.
namespace help {

std::string Main();
// What dump prints, with every record's fields from its field list.
std::string Dump();
std::string Build();
std::string Check();
std::string Arena();

}  // namespace help

#endif
