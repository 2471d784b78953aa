#ifndef OSSIVAR_TOOLS_TOV_TOV_SCAN_H
#define OSSIVAR_TOOLS_TOV_TOV_SCAN_H

#include <string>

#include "loaded.h"

// Reads a data file as the game does, and walks its bytes once more along
// the same field lists to note where every record and field is and every
// place where the bytes and the framing disagree, instead of reading on
// blindly.
namespace tov_scan {

tov::loaded Scan(const std::string& bytes);

}  // namespace tov_scan

#endif
