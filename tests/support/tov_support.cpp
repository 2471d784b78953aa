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

void ExpectSameButDate(const std::string& expected, const std::string& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  ASSERT_GE(expected.size(), 10u);
  EXPECT_EQ(expected.substr(0, 7), actual.substr(0, 7));
  for (std::size_t i = 10; i < expected.size(); ++i) {
    ASSERT_EQ(expected[i], actual[i]) << "first difference at byte " << i;
  }
}

std::string U16(unsigned value) { return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)}; }
std::string U32(unsigned value) { return U16(value & 0xFFFF) + U16(value >> 16); }
std::string P8(const std::string& text) { return static_cast<char>(text.size()) + text; }
std::string P16(const std::string& text) { return U16(static_cast<unsigned>(text.size())) + text; }
std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

std::string Header(const std::string& title, const std::string& author, const std::string& description) {
  const std::string strings = P8(title) + P8(author) + P8(description);
  return std::string("iTOV") + '\0' + '\0' + '\4' + '\x1A' + '\x0C' + '\x06' +
         U16(static_cast<unsigned>(12 + strings.size())) + strings;
}

std::string RaceRec(unsigned id, const std::string& name, int playable, int virtue, int vice) {
  const std::string body = U32(id) + P8(name) + P16("Folk.") + static_cast<char>(playable) +
                           static_cast<char>(virtue) + static_cast<char>(vice) + U16(256) + Zeros(16);
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string CareerRec(unsigned id, const std::string& name, int playable) {
  const std::string body = U32(id) + P8(name) + P16("Work.") + static_cast<char>(playable) + Zeros(18);
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string ActorRec(unsigned id, const std::string& name, unsigned race_id, unsigned career_id, int virtue,
                     int vice) {
  const std::string body = U32(id) + P8(name) + '\0' + '\0' + U32(race_id) + U32(career_id) +
                           static_cast<char>(virtue) + static_cast<char>(vice) + Zeros(60) +
                           std::string(7, '\x80');
  return U16(static_cast<unsigned>(body.size())) + body;
}

std::string PartyRec(unsigned id, const std::string& name, bool shared, const std::vector<unsigned>& members) {
  std::string bytes = U32(static_cast<unsigned>(11 + name.size() + 4 * members.size())) + U32(id) + P8(name) +
                      static_cast<char>(shared) + static_cast<char>(members.size());
  for (unsigned m : members) bytes += U32(m);
  return bytes;
}

namespace {

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

}  // namespace tov_support
