#ifndef OSSIVAR_TESTS_DATA_FILE_TEST_UTIL_H
#define OSSIVAR_TESTS_DATA_FILE_TEST_UTIL_H

// Building data files byte by byte, and a data directory to run in, for the
// data file tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace data_file_test {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes += static_cast<char>(value);
  return bytes;
}

inline std::string U16(std::uint16_t value) { return Bytes({value & 0xFF, value >> 8}); }

inline std::string U32(std::uint32_t value) {
  return Bytes({static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF), static_cast<int>(value >> 24)});
}

inline std::string Pstr8(const std::string& text) { return static_cast<char>(text.size()) + text; }

// A header dated 6 December 2026, its length field counting the strings.
inline std::string Header(const std::string& title = "", const std::string& author = "",
                          const std::string& description = "", const std::string& version = Bytes({0, 0, 4})) {
  const std::string strings = Pstr8(title) + Pstr8(author) + Pstr8(description);
  return "iTOV" + version + Bytes({26, 12, 6}) + U16(static_cast<std::uint16_t>(12 + strings.size())) + strings;
}

// The length field is informative only; readers ignore it.
inline std::string Section(const std::string& tag, std::uint16_t count, const std::string& records,
                           std::uint32_t length = 0) {
  return tag + U32(length) + U16(count) + records;
}

inline std::string PartyBytes(std::uint32_t id, const std::string& name, bool shared,
                              const std::vector<std::uint32_t>& member_ids) {
  std::string bytes = U32(static_cast<std::uint32_t>(11 + name.size() + 4 * member_ids.size())) + U32(id) +
                      Pstr8(name) + Bytes({shared ? 1 : 0, static_cast<int>(member_ids.size())});
  for (std::uint32_t member : member_ids) bytes += U32(member);
  return bytes;
}

// A record's file form.
template <typename Record>
std::string Form(const Record& record) {
  std::ostringstream out;
  out << record;
  return out.str();
}

inline std::time_t LocalTime(int year, int month, int day) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

inline std::time_t FixedClock() { return LocalTime(2026, 12, 6); }

template <typename Record>
bool PointsInto(const Record* record, const std::deque<Record>& records) {
  if (record == nullptr) return true;
  for (const Record& candidate : records) {
    if (&candidate == record) return true;
  }
  return false;
}

// Runs each test inside a fresh directory holding an empty data/.
class DataDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_directory_ = std::filesystem::current_path();
    std::filesystem::create_directories(std::filesystem::path(dir_.path()) / "data");
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override { std::filesystem::current_path(old_directory_); }

  std::string PathOf(const std::string& base_name) const { return dir_.path() + "/data/" + base_name + ".tov"; }

  void Put(const std::string& base_name, const std::string& bytes) const {
    std::ofstream out(PathOf(base_name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string Read(const std::string& base_name) const {
    std::ifstream in(PathOf(base_name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> DataDirectoryListing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path() + "/data")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test_support::TempDir dir_;
  std::filesystem::path old_directory_;
};

}  // namespace data_file_test

#endif
