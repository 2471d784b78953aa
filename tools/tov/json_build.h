#ifndef OSSIVAR_TOOLS_TOV_JSON_BUILD_H
#define OSSIVAR_TOOLS_TOV_JSON_BUILD_H

#include <string>

#include "content.h"

// Reads the JSON form back into the tool's records. Authors may give stat
// values as plain points (1.5), aspects by name in any letter case, and
// references by name alone. Every field that cannot be stored exactly as
// given is a problem, named by its JSON path.
namespace json_build {

struct result {
  tov::content file;
  // What keeps the JSON from being stored as given.
  tov::problems problems;
  // Harmless but worth knowing, such as a name beside a reference that is
  // not the name of the record it refers to.
  tov::problems notes;
};

result Read(const std::string& text);

}  // namespace json_build

#endif
