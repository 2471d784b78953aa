#ifndef OSSIVAR_TOOLS_TOV_TOV_SCAN_H
#define OSSIVAR_TOOLS_TOV_TOV_SCAN_H

#include <string>

#include "content.h"

// Reads a data file byte by byte the way the game does, but notes every
// place where the bytes and the framing disagree instead of reading on
// blindly. Every record and field it reads carries its byte offset.
namespace tov_scan {

struct result {
  tov::content file;
  tov::problems problems;
  // The game accepts the header (magic and first version byte).
  bool accepted = false;
  // Every section was read to its end: no cut-short record, no unknown tag.
  bool complete = false;
};

result Scan(const std::string& bytes);

}  // namespace tov_scan

#endif
