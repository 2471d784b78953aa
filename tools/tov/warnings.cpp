#include "warnings.h"

#include <algorithm>

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

// The list of playable records, an entry "\t  ID) NAME" wrapping at the
// screen's edge, and the lines around it.
template <typename Collection>
int ScreenLines(const Collection& records, const int& around) {
  int lines = around;
  for (const auto& r : records) {
    const std::size_t width = kTabWidth + 2 + std::to_string(r.id).size() + 2 + r.name.length;
    if (r.playable != 0) lines += static_cast<int>((width + kScreenColumns - 1) / kScreenColumns);
  }
  return lines;
}

template <typename Collection>
void TooLong(const Collection& records, const int& lines, const char* what, const std::string& where,
             tov::problems& found) {
  if (lines <= kScreenLines) return;
  const auto playable =
      std::count_if(records.begin(), records.end(), [](const auto& r) { return r.playable != 0; });
  found.push_back({where, tov::Count(playable, std::string("playable ") + what) + " make the " + what +
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

int RaceScreenLines(const tov_file& file) {
  return ScreenLines(file.races, kLinesAboveList + kLinesBelowRaces);
}

int CareerScreenLines(const tov_file& file) {
  return ScreenLines(file.careers, kLinesAboveList + kLinesBelowCareers);
}

tov::problems Find(const tov::loaded& loaded) {
  const tov_file& file = *loaded.file;
  tov::problems found;
  Parties(loaded, found);
  TooLong(file.races, RaceScreenLines(file), "race", loaded.where["races"], found);
  TooLong(file.careers, CareerScreenLines(file), "career", loaded.where["careers"], found);
  return found;
}

}  // namespace warnings
