#ifndef OSSIVAR_TOOLS_TOV_TOV_WRITE_H
#define OSSIVAR_TOOLS_TOV_TOV_WRITE_H

#include <memory>
#include <string>

#include "data_file/io_file.h"

#include "content.h"

// Writes records through the game's own data file writer, so a built file
// is exactly what the game would save with that content. The records must
// be sound (see check): the writer renumbers and resolves as the game does.
namespace tov_write {

// The records as the game holds them once it has read them, references
// resolved; nullptr, with `error` saying why, when that cannot be done.
std::unique_ptr<tov_file> Records(const tov::content& file, std::string& error);

// `path` must end in ".tov". False, with `error` saying why, when the file
// could not be written; an existing file is then left as it was.
bool Write(const tov::content& file, const std::string& path, std::string& error);

}  // namespace tov_write

#endif
