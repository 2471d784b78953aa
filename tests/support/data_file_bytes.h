#ifndef OSSIVAR_TESTS_SUPPORT_DATA_FILE_BYTES_H
#define OSSIVAR_TESTS_SUPPORT_DATA_FILE_BYTES_H

// Data files built byte by byte and read and written in memory, and a data
// directory on disk for the tests of what goes through the file system.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "support/bytes.h"
#include "support/test_support.h"

namespace data_file_test {

using test_support::Bytes;
using test_support::FileForm;
using test_support::U16;
using test_support::U32;

inline std::string Pstr8(const std::string& text) { return static_cast<char>(text.size()) + text; }

// A header dated 6 December 2026, its length field counting the strings.
inline std::string Header(const std::string& title = "", const std::string& author = "",
                          const std::string& description = "",
                          const std::string& version = Bytes({0, 0, 4})) {
  const std::string strings = Pstr8(title) + Pstr8(author) + Pstr8(description);
  return "iTOV" + version + Bytes({26, 12, 6}) + U16(static_cast<std::uint16_t>(12 + strings.size())) +
         strings;
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

// Small records for building files.
inline race Race(std::uint32_t id, const char* name) {
  return race(id, name, "Plain.", &aspects::kindness, &aspects::greed, {256, 0, 0, 0, 0, 0, 0, 0, 0});
}

inline career Career(std::uint32_t id, const char* name) {
  return career(id, name, "Work.", {0, 256, 0, 0, 0, 0, 0, 0, 0});
}

inline actor Actor(std::uint32_t id, const char* name, std::uint32_t race_id, std::uint32_t career_id) {
  actor a;
  a.id = id;
  a.name = pstr<unsigned char>(name);
  a.race_id = race_id;
  a.career_id = career_id;
  a.virtue = &aspects::patience;
  a.vice = &aspects::envy;
  return a;
}

// A section of these records, in their file forms.
template <typename Record>
std::string SectionOf(const std::string& tag, const std::vector<Record>& records) {
  std::string body;
  for (const Record& record : records) body += FileForm(record);
  return Section(tag, static_cast<std::uint16_t>(records.size()), body);
}

inline std::string RaceSection(const std::vector<race>& races) { return SectionOf("RACE", races); }
inline std::string CareerSection(const std::vector<career>& careers) { return SectionOf("CARR", careers); }
inline std::string ActorSection(const std::vector<actor>& actors) { return SectionOf("ACTR", actors); }

// A data file read quietly from the bytes.
inline std::unique_ptr<tov_file> Load(const std::string& bytes) {
  auto file = std::make_unique<tov_file>();
  std::istringstream in(bytes);
  file->Read(in, true);
  return file;
}

// What the file writes, dated 6 December 2026; empty when Write fails.
inline std::string Save(tov_file& file) {
  file.clock = FixedClock;
  std::ostringstream out;
  return file.Write(out, true) ? out.str() : std::string();
}

// What the base-name constructor does, in the given data directory (which
// ends in "/"), without relying on the working directory.
inline std::unique_ptr<tov_file> OpenIn(const std::string& data_directory, const std::string& base_name) {
  auto file = std::make_unique<tov_file>();
  file->directory = data_directory;
  file->file_name = base_name;
  file->Open(base_name, true);
  file->ReadAll(true);
  return file;
}

// Byte for byte, without printing two binary files when they differ.
inline void ExpectSameBytes(const std::string& expected, const std::string& actual,
                            const std::string& remedy = "") {
  ASSERT_EQ(actual.size(), expected.size()) << remedy;
  EXPECT_TRUE(actual == expected) << remedy;
}

// Data files written on different days differ in their three date bytes
// only; `remedy` says what to do when they differ in more.
inline void ExpectSameButDate(const std::string& expected, std::string actual,
                              const std::string& remedy = "") {
  ASSERT_GT(expected.size(), 15u);
  ASSERT_EQ(actual.size(), expected.size()) << remedy;
  actual.replace(7, 3, expected.substr(7, 3));
  EXPECT_TRUE(actual == expected) << remedy;
}

// The shipped content file's bytes.
inline std::string CoreData() {
  return test_support::ReadFile(std::string(OSSIVAR_SOURCE_DIR) + "/data/Core Data.tov");
}

// A fresh directory holding an empty data/, for what goes through the file
// system. Files are opened in it by path; the working directory stays.
class DataDirTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(DataDirectory()); }

  std::string DataDirectory() const { return dir_.path() + "/data/"; }
  std::string PathOf(const std::string& base_name) const { return DataDirectory() + base_name + ".tov"; }

  std::unique_ptr<tov_file> Open(const std::string& base_name) const {
    return OpenIn(DataDirectory(), base_name);
  }

  void Put(const std::string& base_name, const std::string& bytes) const {
    std::ofstream out(PathOf(base_name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string Read(const std::string& base_name) const { return test_support::ReadFile(PathOf(base_name)); }

  std::vector<std::string> DataDirectoryListing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(DataDirectory())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test_support::TempDir dir_;
};

}  // namespace data_file_test

#endif
