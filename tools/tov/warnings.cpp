#include "warnings.h"

#include "data_file/enemy_draw.h"
#include "platform/random.h"

namespace warnings {

namespace {

constexpr int kScreenLines = 24;
constexpr int kScreenColumns = 80;
constexpr int kTabWidth = 8;

// The character sheet's four lines and its rule, a blank line and the
// question; after the list, the line the player types on.
constexpr int kLinesAboveList = 7;
constexpr int kLinesBelowRaces = 1;
// The career list ends in a blank line and the custom career's entry.
constexpr int kLinesBelowCareers = 3;

// Fewer draws than this in all the random source gives is less than one
// battle in a hundred.
constexpr int kRareDraws = rng::kDrawCount / 100;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A listed entry "\t  ID) NAME" wraps at the screen's edge.
int EntryLines(const std::uint32_t& id, const std::string& name) {
  const std::size_t width = kTabWidth + 2 + std::to_string(id).size() + 2 + name.size();
  return static_cast<int>((width + kScreenColumns - 1) / kScreenColumns);
}

template <typename Record>
int ListLines(const std::vector<Record>& records) {
  int lines = 0;
  for (const Record& r : records) {
    if (r.playable != 0) lines += EntryLines(r.id, r.name);
  }
  return lines;
}

template <typename Record>
int Playable(const std::vector<Record>& records) {
  int count = 0;
  for (const Record& r : records) count += r.playable != 0 ? 1 : 0;
  return count;
}

std::string Plural(const int& n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

void TooLong(const int& lines, const int& playable, const char* what, const std::string& where,
             tov::problems& found) {
  if (lines <= kScreenLines) return;
  found.push_back({where, Plural(playable, std::string("playable ") + what) + " make the " + what +
                              " screen " + std::to_string(lines) + " lines long; the terminal shows " +
                              std::to_string(kScreenLines) + ", so the character sheet scrolls away"});
}

void Parties(const tov::content& file, tov::problems& found) {
  const std::vector<int> chances = enemy_draw::Chances(file.parties.size());
  std::size_t last_drawn = 0;
  for (std::size_t p = 1; p < chances.size(); ++p) {
    if (chances[p] > 0) last_drawn = p;
  }
  for (std::size_t p = 1; p < file.parties.size(); ++p) {
    const tov::party_record& party = file.parties[p];
    const std::string where = party.where[""] + " " + Quoted(party.name);
    if (chances[p] == 0) {
      found.push_back({where, "enemy party at position " + std::to_string(p) +
                                  " is never fought: battles draw only the parties at positions 1 to " +
                                  std::to_string(last_drawn)});
    } else if (chances[p] < kRareDraws) {
      found.push_back({where, "enemy party at position " + std::to_string(p) + " is fought in only " +
                                  std::to_string(chances[p]) + " of " + std::to_string(rng::kDrawCount) +
                                  " battles: practically never"});
    }
  }
}

}  // namespace

int RaceScreenLines(const tov::content& file) {
  return kLinesAboveList + ListLines(file.races) + kLinesBelowRaces;
}

int CareerScreenLines(const tov::content& file) {
  return kLinesAboveList + ListLines(file.careers) + kLinesBelowCareers;
}

tov::problems Find(const tov::content& file) {
  tov::problems found;
  Parties(file, found);
  TooLong(RaceScreenLines(file), Playable(file.races), "race", file.where["races"], found);
  TooLong(CareerScreenLines(file), Playable(file.careers), "career", file.where["careers"], found);
  return found;
}

}  // namespace warnings
