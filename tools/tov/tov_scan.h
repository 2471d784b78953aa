#ifndef OSSIVAR_TOOLS_TOV_TOV_SCAN_H
#define OSSIVAR_TOOLS_TOV_TOV_SCAN_H

#include <string>

#include "loaded.h"

// Reads a data file as the game does, and walks its bytes once more along
// the same field lists to note where every record and field is and every
// place where the bytes and the framing disagree, instead of reading on
// blindly.
namespace tov_scan {

struct result {
  // The records as the game reads them, with their byte offsets.
  tov::loaded file;
  tov::problems problems;
  // The game accepts the header (magic and first version byte).
  bool accepted = false;
  // Every section was read to its end: no cut-short record, no unknown tag.
  bool complete = false;
};

result Scan(const std::string& bytes);

}  // namespace tov_scan

#endif
