#ifndef OSSIVAR_TOOLS_TOV_ARENA_H
#define OSSIVAR_TOOLS_TOV_ARENA_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "combat/engine.h"
#include "data_file/io_file.h"

// The content fought against itself with the game's own battle engine:
// many battles on every core, counted, never kept one by one.
namespace arena {

// How the player's allies choose, every round.
enum class policy { kRandom, kWeakest, kDefend };
const char* PolicyName(const policy& p);

struct options {
  std::string path;
  std::size_t battles = 1000;
  std::size_t max_rounds = 1000;
  std::uint64_t seed = 0;
  unsigned jobs = 0;  // 0: one per core
  policy plan = policy::kRandom;
  // Battles in a row per campaign; 0 fights each enemy party on its own.
  std::size_t campaign = 0;
  bool json = false;
  std::string svg;
};

// Reads tov arena's arguments into `into` (whose seed stays unless --seed
// is given); what is wrong with them otherwise.
std::string Parse(const std::vector<std::string>& args, options& into);

// The counters of one enemy party.
struct party_figures {
  std::size_t position = 0;
  std::string name;
  double draw_share = 0;
  std::uint64_t battles = 0;
  std::uint64_t wins = 0;
  std::uint64_t losses = 0;
  std::uint64_t unfinished = 0;
  std::uint64_t one_round_wins = 0;
  std::uint64_t rounds = 0;
  std::uint64_t allies_standing = 0;
  // Primary growth the player's party gained, in 1/256 points.
  std::uint64_t growth = 0;
};

// Whole points from 0 to twice the stat cap.
constexpr std::size_t kPointBins = 201;
constexpr std::size_t kPrimaries = 3;

// One battle number of the campaigns: how often it was won, and where the
// player character's primaries stood after it.
struct campaign_step {
  std::uint64_t battles = 0;
  std::uint64_t wins = 0;
  std::array<std::array<std::uint64_t, kPointBins>, kPrimaries> points{};
};

struct results {
  std::vector<party_figures> parties;
  std::vector<campaign_step> campaign;
  std::uint64_t planned = 0;
  std::uint64_t done = 0;
  bool partial = false;
  double seconds = 0;
};

// What the caller may do while a run lasts: see how far it is (from the
// calling thread, about every tenth of a second) and ask it to stop.
struct monitor {
  std::function<void(const std::uint64_t& done, const std::uint64_t& planned, const double& seconds)> progress;
  std::function<bool()> stop;
};

// What an ally of the player's party does this round under a policy.
motive Choice(const policy& plan, combat::engine& fight, actor* ally);

// The parties the session can draw, by position; empty when there are none
// or no player's party to fight them.
std::vector<std::size_t> EnemyPositions(const tov_file& file);

// The generator state of one battle: the same for a run's seed and the
// battle's number on any thread.
std::uint32_t BattleSeed(const std::uint64_t& run_seed, const std::uint64_t& battle_number);

results Run(const tov_file& file, const options& how, const monitor& watch = {});

// A figure of a campaign step's histogram: the smallest whole point value
// at or below which `fraction` of the characters stood.
int Percentile(const std::array<std::uint64_t, kPointBins>& counts, const double& fraction);

// The 95% Wilson interval of wins out of battles, as fractions.
std::array<double, 2> Interval(const std::uint64_t& wins, const std::uint64_t& battles);

}  // namespace arena

#endif
