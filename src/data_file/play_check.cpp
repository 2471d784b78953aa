#include "data_file/play_check.h"

#include <algorithm>

#include "data_file/enemy_draw.h"
#include "data_file/io_file.h"

namespace play_check {

namespace {

bool HasPlayableRace(const tov_file& file) {
  return std::any_of(file.races.begin(), file.races.end(), [](const race& r) { return r.playable != 0; });
}

// A battle shows every fighter's race and career and divides by the size
// of each side, so a party must have members, and every one of them both.
void Fighters(const party& side, const std::size_t& position, std::vector<problem>& found) {
  if (side.members.empty()) found.push_back({fault::kEmptyParty, position});
  for (std::size_t m = 0; m < side.members.size(); ++m) {
    const actor* a = side.members[m];
    if (a == nullptr || a->race == nullptr || a->career == nullptr) {
      found.push_back({fault::kUnfitMember, position, m});
    }
  }
}

}  // namespace

std::vector<problem> Problems(const tov_file& file, const use& kind) {
  // Bytes read from a stream were never looked for, and are always found.
  if (file.open_result != tov_file::kAccepted && !file.file_found) return {{fault::kNotFound}};
  switch (file.open_result) {
    case tov_file::kAccepted:
      break;
    case tov_file::kWrongMagic:
      return {{fault::kNotDataFile}};
    case tov_file::kCutShort:
      return {{fault::kCutShort}};
    case tov_file::kTooLarge:
      return {{fault::kTooLarge}};
    default:
      return {{fault::kWrongVersion}};
  }
  std::vector<problem> found;
  if (file.stopped_early) found.push_back({fault::kDamaged});
  if (kind == use::kNewGame && !HasPlayableRace(file)) found.push_back({fault::kNoPlayableRace});
  if (file.parties.empty()) {
    found.push_back({fault::kNoParties});
    return found;
  }
  Fighters(file.parties.front(), 0, found);
  if (file.parties.size() < 2) found.push_back({fault::kNoEnemyParty});
  const std::vector<int> chances = enemy_draw::Chances(file.parties.size());
  for (std::size_t p = 1; p < file.parties.size(); ++p) {
    if (chances[p] > 0) Fighters(file.parties[p], p, found);
  }
  return found;
}

}  // namespace play_check
