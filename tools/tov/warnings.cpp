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

// A listed entry "\t  ID) NAME" wraps at the screen's edge.
int EntryLines(const std::uint32_t& id, const std::string& name) {
  const std::size_t width = kTabWidth + 2 + std::to_string(id).size() + 2 + name.size();
  return static_cast<int>((width + kScreenColumns - 1) / kScreenColumns);
}

template <typename Collection>
int ListLines(const Collection& records) {
  int lines = 0;
  for (const auto& r : records) {
    if (r.playable != 0) lines += EntryLines(r.id, r.name.str());
  }
  return lines;
}

template <typename Collection>
int Playable(const Collection& records) {
  int count = 0;
  for (const auto& r : records) count += r.playable != 0 ? 1 : 0;
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

void Parties(const tov::loaded& loaded, tov::problems& found) {
  const std::deque<party>& parties = loaded.file->parties;
  const std::vector<int> chances = enemy_draw::Chances(parties.size());
  std::size_t last_drawn = 0;
  for (std::size_t p = 1; p < chances.size(); ++p) {
    if (chances[p] > 0) last_drawn = p;
  }
  for (std::size_t p = 1; p < parties.size(); ++p) {
    const std::string where =
        loaded.Notes(record_kind::kParty, p).where[""] + " " + tov::Quoted(parties[p].name.str());
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

int RaceScreenLines(const tov_file& file) { return kLinesAboveList + ListLines(file.races) + kLinesBelowRaces; }

int CareerScreenLines(const tov_file& file) {
  return kLinesAboveList + ListLines(file.careers) + kLinesBelowCareers;
}

tov::problems Find(const tov::loaded& loaded) {
  const tov_file& file = *loaded.file;
  tov::problems found;
  Parties(loaded, found);
  TooLong(RaceScreenLines(file), Playable(file.races), "race", loaded.where["races"], found);
  TooLong(CareerScreenLines(file), Playable(file.careers), "career", loaded.where["careers"], found);
  return found;
}

}  // namespace warnings
