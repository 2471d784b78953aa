#ifndef OSSIVAR_TESTS_SUPPORT_TOV_SUPPORT_H
#define OSSIVAR_TESTS_SUPPORT_TOV_SUPPORT_H

// Helpers of the content tool's tests: its commands run in process, data
// files assembled byte by byte, and a fixture with a directory to work in.

#include <gtest/gtest.h>

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace tov_support {

using json = nlohmann::ordered_json;

void WriteFile(const std::string& path, const std::string& bytes);

struct run_result {
  int status = -1;
  std::string out;
  std::string err;
};

// The tool's commands, run in this process.
run_result Tov(const std::vector<std::string>& args);

// ---- Data files assembled byte by byte ----

using data_file_test::PartyBytes;
using test_support::U16;
using test_support::U32;

// Records with any byte the game might meet, valid or not.
std::string RaceRec(unsigned id, const std::string& name, int playable = 1, int virtue = 3, int vice = 2);
std::string CareerRec(unsigned id, const std::string& name, int playable = 1);
std::string ActorRec(unsigned id, const std::string& name, unsigned race_id, unsigned career_id,
                     int virtue = 0, int vice = 0);

// A small sound world: one playable race and career, the hero's party and
// one enemy party. Tests spoil one thing and look for its diagnosis.
struct crafted {
  std::string header = data_file_test::Header("T", "A", "D");
  std::vector<std::string> races{RaceRec(0, "Elf")};
  std::vector<std::string> careers{CareerRec(0, "Smith")};
  std::vector<std::string> actors{ActorRec(0, "Hero", 0, 0), ActorRec(1, "Gob", 0, 0)};
  std::vector<std::string> parties{PartyBytes(0, "Us", true, {0}), PartyBytes(1, "Them", false, {1})};

  std::string Races() const;
  std::string Careers() const;
  std::string Actors() const;
  std::string Parties() const;
  std::string Bytes() const;

  // Offsets of the sections and of the first record in each.
  std::size_t RaceSection() const { return header.size(); }
  std::size_t CareerSection() const { return RaceSection() + Races().size(); }
  std::size_t ActorSection() const { return CareerSection() + Careers().size(); }
  std::size_t PartySection() const { return ActorSection() + Actors().size(); }
  std::size_t Actor(std::size_t i) const;
  std::size_t Party(std::size_t i) const;
};

class TovTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.path() + "/" + name; }

  // Writes bytes as a .tov file and checks it.
  run_result CheckBytes(const std::string& bytes);
  run_result CheckJson(const json& document);
  // The crafted world as the JSON an author would start from.
  json SoundJson();

  // One diagnosis line: the file, the place, then what.
  static void ExpectLine(const run_result& r, const std::string& place, const std::string& what);
  // Check fails on the bytes, with that line among its problems.
  void ExpectProblem(const std::string& bytes, const std::string& place, const std::string& what);
  // A place in a data file: "byte N", then what lies there.
  static std::string At(std::size_t byte, const std::string& what = "");

  test_support::TempDir dir_;
};

}  // namespace tov_support

#endif
