// Feeds arbitrary bytes to the data file reader, touches everything the
// loaded records point at, and writes the result. Reading and writing
// again must then give the same bytes. Everything stays in memory.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "data_file/io_file.h"
#include "data_file_walk.h"

namespace {

// 6 December 2026, so every save carries the same date.
std::time_t FixedClock() { return 1796558400; }

// Reads the bytes, walks them, writes them; returns what was written.
std::string ReadAndWrite(const std::string& bytes) {
  tov_file file;
  std::istringstream in(bytes);
  file.Read(in, true);
  data_file_walk::Walk(file);
  file.clock = FixedClock;
  std::ostringstream out;
  if (!file.Write(out, true)) {
    std::fprintf(stderr, "write failed: %s\n", file.write_error.c_str());
    std::abort();
  }
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first write normalises what the input left loose (identifiers,
  // flags, sizes); from then on writing must reproduce itself.
  const std::string first = ReadAndWrite(std::string(reinterpret_cast<const char*>(data), size));
  const std::string second = ReadAndWrite(first);
  const std::string third = ReadAndWrite(second);
  if (second != third) {
    std::fprintf(stderr, "a save does not load back to itself\n");
    std::abort();
  }
  return 0;
}
