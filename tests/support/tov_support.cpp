#include "support/tov_support.h"

#include <fstream>
#include <sstream>

#include "tov/commands.h"

namespace tov_support {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

run_result Tov(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  run_result result;
  result.status = commands::Run(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

namespace {

using data_file_test::Pstr8;

std::string Pstr16(const std::string& text) { return U16(static_cast<unsigned>(text.size())) + text; }
std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

std::string Section(const char* tag, const std::vector<std::string>& records, bool party) {
  if (records.empty()) return "";
  std::string body;
  unsigned length = 8;
  for (const std::string& r : records) {
    body += r;
    length += static_cast<unsigned>(r.size()) - (party ? 0 : 2);
  }
  return tag + U32(length) + U16(static_cast<unsigned>(records.size())) + body;
}

}  // namespace

std::string RaceRec(unsigned id, const std::string& name, int playable, int virtue, int vice) {
  const std::string body = U32(id) + Pstr8(name) + Pstr16("Folk.") + static_cast<char>(playable) +
                           static_cast<char>(virtue) + static_cast<char>(vice) + U16(256) + Zeros(16);
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string CareerRec(unsigned id, const std::string& name, int playable) {
  const std::string body = U32(id) + Pstr8(name) + Pstr16("Work.") + static_cast<char>(playable) + Zeros(18);
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string ActorRec(unsigned id, const std::string& name, unsigned race_id, unsigned career_id, int virtue,
                     int vice) {
  const std::string body = U32(id) + Pstr8(name) + '\0' + '\0' + U32(race_id) + U32(career_id) +
                           static_cast<char>(virtue) + static_cast<char>(vice) + Zeros(60) +
                           std::string(7, '\x80');
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string crafted::Races() const { return Section("RACE", races, false); }
std::string crafted::Careers() const { return Section("CARR", careers, false); }
std::string crafted::Actors() const { return Section("ACTR", actors, false); }
std::string crafted::Parties() const { return Section("PART", parties, true); }
std::string crafted::Bytes() const { return header + Races() + Careers() + Actors() + Parties(); }

std::size_t crafted::Actor(std::size_t i) const {
  std::size_t at = ActorSection() + 10;
  for (std::size_t k = 0; k < i; ++k) at += actors[k].size();
  return at;
}

std::size_t crafted::Party(std::size_t i) const {
  std::size_t at = PartySection() + 10;
  for (std::size_t k = 0; k < i; ++k) at += parties[k].size();
  return at;
}

run_result TovTest::CheckBytes(const std::string& bytes) {
  WriteFile(Path("crafted.tov"), bytes);
  return Tov({"check", Path("crafted.tov")});
}

run_result TovTest::CheckJson(const json& document) {
  WriteFile(Path("crafted.json"), document.dump(2));
  return Tov({"check", Path("crafted.json")});
}

json TovTest::SoundJson() {
  WriteFile(Path("sound.tov"), crafted().Bytes());
  const run_result dumped = Tov({"dump", Path("sound.tov")});
  EXPECT_EQ(dumped.status, 0) << dumped.err;
  return json::parse(dumped.out);
}

void TovTest::ExpectLine(const run_result& r, const std::string& place, const std::string& what) {
  const std::string needle = place + ": " + what;
  EXPECT_NE(r.out.find(needle), std::string::npos) << "wanted: " << needle << "\ngot:\n" << r.out;
}

void TovTest::ExpectProblem(const std::string& bytes, const std::string& place, const std::string& what) {
  const run_result r = CheckBytes(bytes);
  EXPECT_EQ(r.status, 1) << place;
  ExpectLine(r, place, what);
}

std::string TovTest::At(std::size_t byte, const std::string& what) {
  std::string place = "byte ";
  place += std::to_string(byte);
  if (!what.empty()) {
    place += ", ";
    place += what;
  }
  return place;
}

}  // namespace tov_support
