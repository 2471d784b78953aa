#ifndef OSSIVAR_TOOLS_TOV_JSON_BUILD_H
#define OSSIVAR_TOOLS_TOV_JSON_BUILD_H

#include <string>

#include "loaded.h"

// Reads the JSON form back into records, walking each record's field list.
// Authors may give stat values as plain points (1.5), aspects by name in
// any letter case, and references by name alone. Every field that cannot
// be stored exactly as given is a problem, named by its JSON path.
namespace json_build {

struct result {
  // The records with their references resolved as the game resolves them,
  // each with its JSON path; complete only when there are no problems.
  tov::loaded file;
  // What keeps the JSON from being stored as given.
  tov::problems problems;
  // Harmless but worth knowing, such as a name beside a reference that is
  // not the name of the record it refers to.
  tov::problems notes;
};

result Read(const std::string& text);

}  // namespace json_build

#endif
