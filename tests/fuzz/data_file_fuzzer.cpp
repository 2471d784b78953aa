// Feeds arbitrary bytes to the data file reader as a file in a data
// directory, touches everything the loaded records point at, and saves the
// result. Loading and saving again must then give the same bytes.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data_file/io_file.h"
#include "data_file_walk.h"

namespace {

std::string g_directory;

// 6 December 2026, so every save carries the same date.
std::time_t FixedClock() { return 1796558400; }

std::string ReadBack() {
  std::ifstream in(g_directory + "/data/fuzz.tov", std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Loads data/fuzz.tov, walks it, saves it; returns the saved bytes.
std::string LoadAndSave() {
  tov_file file("fuzz");
  data_file_walk::Walk(file);
  file.clock = FixedClock;
  if (!file.Write(true)) {
    std::fprintf(stderr, "save failed: %s\n", file.write_error.c_str());
    std::abort();
  }
  return ReadBack();
}

void RemoveDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(g_directory, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Memory-backed where there is such a place: every save syncs the disk.
  std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  pattern += "/ossivar-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  g_directory = pattern;
  std::filesystem::create_directory(g_directory + "/data");
  if (::chdir(g_directory.c_str()) != 0) std::abort();
  std::atexit(RemoveDirectory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(g_directory + "/data/fuzz.tov", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // The first save normalises what the input left loose (identifiers,
  // flags, sizes); from then on saving must reproduce itself.
  LoadAndSave();
  const std::string second = LoadAndSave();
  const std::string third = LoadAndSave();
  if (second != third) {
    std::fprintf(stderr, "a save does not load back to itself\n");
    std::abort();
  }
  return 0;
}
