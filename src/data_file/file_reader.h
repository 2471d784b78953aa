#ifndef OSSIVAR_DATA_FILE_FILE_READER_H
#define OSSIVAR_DATA_FILE_FILE_READER_H

#include <cstddef>
#include <string>

#include "data_file/io_file.h"

// Reading the sections of a data file from its bytes.
namespace file_reader {

// A party whose members are not shared makes a whole actor for every
// 4-byte member identifier. Those copies together may take this many bytes
// per byte of the file, plus a fixed allowance so that small files may
// still hold full parties; a file that needs more is refused.
constexpr std::size_t kCopyBytesPerFileByte = 4;
constexpr std::size_t kCopyAllowance = std::size_t{8} << 20;

struct result {
  bool stopped_early = false;  // before the end of the bytes
  std::size_t stopped_at = 0;  // where the section that stopped it begins
  bool too_large = false;
};

// Reads every section from `start` to the end of the bytes into the file's
// collections, resolving references as they come; prints each section's
// report line when not quiet. An unknown tag ends the reading. The records'
// texts point into the bytes, which must outlive them.
result ReadSections(tov_file& file, std::string& bytes, const std::size_t& start, const bool& quiet);

}  // namespace file_reader

#endif
