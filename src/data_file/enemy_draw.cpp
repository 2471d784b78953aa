#include "data_file/enemy_draw.h"

#include <algorithm>

#include "platform/random.h"

namespace enemy_draw {

namespace {

constexpr int kDrawsPerParty = 10922;

}  // namespace

std::size_t Position(const int& draw, const std::size_t& party_count) {
  const std::size_t drawn = 1 + static_cast<std::size_t>(static_cast<unsigned>(draw) / kDrawsPerParty);
  if (party_count == 0) return 0;
  return std::min(drawn, party_count - 1);
}

std::vector<int> Chances(const std::size_t& party_count) {
  std::vector<int> chances(party_count, 0);
  if (party_count == 0) return chances;
  for (int draw = 0; draw < rng::kDrawCount; ++draw) ++chances[Position(draw, party_count)];
  return chances;
}

}  // namespace enemy_draw
