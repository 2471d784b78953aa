#ifndef OSSIVAR_TOOLS_TOV_TOV_WRITE_H
#define OSSIVAR_TOOLS_TOV_TOV_WRITE_H

#include <string>

#include "content.h"

// Writes records through the game's own data file writer, so a built file
// is exactly what the game would save with that content. The records must
// be sound (see check): the writer renumbers and resolves as the game does.
namespace tov_write {

// `path` must end in ".tov". False, with `error` saying why, when the file
// could not be written; an existing file is then left as it was.
bool Write(const tov::content& file, const std::string& path, std::string& error);

}  // namespace tov_write

#endif
