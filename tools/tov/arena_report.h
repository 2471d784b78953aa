#ifndef OSSIVAR_TOOLS_TOV_ARENA_REPORT_H
#define OSSIVAR_TOOLS_TOV_ARENA_REPORT_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "arena.h"
#include "loaded.h"

// What an arena run found, for people (a table and warnings), for scripts
// (JSON) and for a browser (SVG).
namespace arena_report {

// What the figures are of, beside the figures themselves.
struct context {
  const arena::options* how = nullptr;
  const arena::results* found = nullptr;
  unsigned jobs = 1;
  std::string player_party;
  std::string player_character;
  // Where each enemy party is, as tov check names it, by figure.
  std::vector<std::string> places;
};

std::string Table(const context& run);

// A party never beaten, one always beaten in a single round, battles past
// the round limit.
tov::problems Warnings(const context& run);

nlohmann::json Json(const context& run);

// Win rates with their intervals; in campaign mode also the player
// character's primaries by battle number, with their bands.
std::string Svg(const context& run);

}  // namespace arena_report

#endif
