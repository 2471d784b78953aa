#include "arena.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "combat/engine.h"
#include "data_file/enemy_draw.h"
#include "json_form.h"
#include "platform/random.h"

namespace arena {

namespace {

// The player's allies choose by the run's policy instead of a screen.
class fighter : public combat::engine {
 public:
  policy plan = policy::kRandom;

 protected:
  void Command(actor* ally, motive& m) override { m = Choice(plan, *this, ally); }
};

// The living foe with the least Health, the first of equals. A round is
// only played while one lives.
std::size_t Weakest(const combat::engine& fight) {
  std::size_t best = 0;
  bool found = false;
  for (std::size_t i = 0; i < fight.FoeCount(); ++i) {
    const actor* foe = fight.foes->members[i];
    if (!combat::Alive(foe)) continue;
    if (!found || foe->health.get(false) < fight.foes->members[best]->health.get(false)) best = i;
    found = true;
  }
  return best;
}

// One thread's private copies of every party of the file, fought with and
// set back from the file's own records as the session loop does.
class camp {
 public:
  explicit camp(const tov_file& file) : file_(file), parties_(file.parties.size()) {
    for (std::size_t p = 0; p < parties_.size(); ++p) {
      parties_[p].name = file.parties[p].name;
      // Copies, so that nothing reaches the file's records.
      for (actor* member : file.parties[p].members) parties_[p].AddMember(member);
    }
  }

  party& At(const std::size_t& position) { return parties_[position]; }

  void Reset(const std::size_t& position) {
    const party& source = file_.parties[position];
    party& copy = parties_[position];
    for (std::size_t i = 0; i < copy.members.size(); ++i) *copy.members[i] = *source.members[i];
    // As the session flows mark the player's party.
    if (position == 0) {
      for (actor* member : copy.members) member->player_controlled = true;
    }
  }

  void Restore(const std::size_t& position) {
    for (actor* member : parties_[position].members) member->Restore();
  }

 private:
  const tov_file& file_;
  std::vector<party> parties_;
};

std::uint64_t Growth(const party& side) {
  std::uint64_t sum = 0;
  for (const actor* a : side.members) sum += a->strength.growth + a->wisdom.growth + a->agility.growth;
  return sum;
}

void Count(const combat::fight_result& ended, const std::uint64_t& growth, party_figures& into) {
  ++into.battles;
  if (ended.Won()) ++into.wins;
  if (ended.Lost()) ++into.losses;
  if (ended.Unfinished()) ++into.unfinished;
  if (ended.Won() && ended.rounds == 1) ++into.one_round_wins;
  into.rounds += ended.rounds;
  into.allies_standing += ended.standing_allies;
  into.growth += growth;
}

void Add(const results& from, results& into) {
  for (std::size_t i = 0; i < into.parties.size(); ++i) {
    party_figures& to = into.parties[i];
    const party_figures& f = from.parties[i];
    to.battles += f.battles;
    to.wins += f.wins;
    to.losses += f.losses;
    to.unfinished += f.unfinished;
    to.one_round_wins += f.one_round_wins;
    to.rounds += f.rounds;
    to.allies_standing += f.allies_standing;
    to.growth += f.growth;
  }
  for (std::size_t b = 0; b < into.campaign.size(); ++b) {
    campaign_step& to = into.campaign[b];
    const campaign_step& f = from.campaign[b];
    to.battles += f.battles;
    to.wins += f.wins;
    for (std::size_t s = 0; s < kPrimaries; ++s) {
      for (std::size_t v = 0; v < kPointBins; ++v) to.points[s][v] += f.points[s][v];
    }
  }
}

// What every thread shares: the plan, the next unit of work, the totals.
class run_state {
 public:
  run_state(const tov_file& file, const options& how, const results& empty)
      : file_(file), how_(how), enemies_(EnemyPositions(file)), empty_(empty), totals_(empty) {
    index_of_.assign(file.parties.size(), 0);
    for (std::size_t i = 0; i < enemies_.size(); ++i) index_of_[enemies_[i]] = i;
    units_ = how.campaign > 0 ? how.battles : how.battles * enemies_.size();
  }

  void Work() {
    camp c(file_);
    fighter f;
    f.plan = how_.plan;
    rng::generator draws;
    f.draws = &draws;
    results mine = empty_;
    // Units are taken a few at a time, so the threads seldom meet on the
    // shared counters.
    const std::uint64_t chunk = how_.campaign > 0 ? 1 : 32;
    while (!stop.load(std::memory_order_relaxed)) {
      const std::uint64_t first = next_.fetch_add(chunk);
      if (first >= units_) break;
      const std::uint64_t fought = mine.done;
      for (std::uint64_t unit = first; unit < std::min(units_, first + chunk); ++unit) {
        if (stop.load(std::memory_order_relaxed)) break;
        if (how_.campaign > 0) {
          Campaign(unit, c, f, draws, mine);
        } else {
          Single(unit, c, f, draws, mine);
        }
      }
      done.fetch_add(mine.done - fought, std::memory_order_relaxed);
    }
    const std::lock_guard<std::mutex> hold(lock_);
    Add(mine, totals_);
  }

  results Totals() const { return totals_; }

  // Each on a cache line of its own.
  alignas(64) std::atomic<bool> stop{false};
  alignas(64) std::atomic<std::uint64_t> done{0};

 private:
  // One party's battle, numbered by the party's place in the run.
  void Single(const std::uint64_t& unit, camp& c, fighter& f, rng::generator& draws, results& into) {
    const std::size_t position = enemies_[unit / how_.battles];
    draws.Seed(BattleSeed(how_.seed, unit));
    c.Reset(0);
    c.Reset(position);
    Fight(position, c, f, into);
  }

  // Battles in a row as the session loop plays them: the enemy drawn by its
  // rule, everyone restored, the player's growth carried. Enemies that
  // share the file's records carry theirs too, as they do in the game.
  void Campaign(const std::uint64_t& unit, camp& c, fighter& f, rng::generator& draws, results& into) {
    for (std::size_t p = 0; p < file_.parties.size(); ++p) c.Reset(p);
    for (std::size_t b = 0; b < how_.campaign && !stop.load(std::memory_order_relaxed); ++b) {
      draws.Seed(BattleSeed(how_.seed, unit * how_.campaign + b));
      const std::size_t position = enemy_draw::Position(draws.Draw(), file_.parties.size());
      if (!file_.parties[position].shared_members) c.Reset(position);
      const combat::fight_result ended = Fight(position, c, f, into);
      campaign_step& step = into.campaign[b];
      ++step.battles;
      if (ended.Won()) ++step.wins;
      const actor* hero = c.At(0).members.front();
      const stat_swag* primaries[kPrimaries] = {&hero->strength, &hero->wisdom, &hero->agility};
      for (std::size_t s = 0; s < kPrimaries; ++s) {
        const std::size_t points = static_cast<std::size_t>(primaries[s]->base + primaries[s]->growth) >> 8;
        ++step.points[s][std::min(points, kPointBins - 1)];
      }
    }
  }

  combat::fight_result Fight(const std::size_t& position, camp& c, fighter& f, results& into) {
    c.Restore(0);
    c.Restore(position);
    const std::uint64_t before = Growth(c.At(0));
    f.allies = &c.At(0);
    f.foes = &c.At(position);
    const combat::fight_result ended = f.Fight(how_.max_rounds);
    Count(ended, Growth(c.At(0)) - before, into.parties[index_of_[position]]);
    ++into.done;
    return ended;
  }

  const tov_file& file_;
  const options& how_;
  const std::vector<std::size_t> enemies_;
  std::vector<std::size_t> index_of_;
  const results& empty_;
  std::uint64_t units_ = 0;
  alignas(64) std::atomic<std::uint64_t> next_{0};
  std::mutex lock_;
  results totals_;
};

}  // namespace

motive Choice(const policy& plan, combat::engine& fight, actor* ally) {
  switch (plan) {
    case policy::kWeakest:
      return fight.AttackFoe(ally, Weakest(fight));
    case policy::kDefend:
      return combat::engine::Defend(ally);
    case policy::kRandom:
      break;
  }
  return fight.RandomAttack(ally);
}

std::vector<std::size_t> EnemyPositions(const tov_file& file) {
  std::vector<std::size_t> positions;
  if (file.parties.empty() || file.parties.front().members.empty()) return positions;
  const std::vector<int> chances = enemy_draw::Chances(file.parties.size());
  for (std::size_t p = 1; p < file.parties.size(); ++p) {
    if (chances[p] > 0 && !file.parties[p].members.empty()) positions.push_back(p);
  }
  return positions;
}

std::uint32_t BattleSeed(const std::uint64_t& run_seed, const std::uint64_t& battle_number) {
  // SplitMix64's mixing: neighbouring numbers give unrelated states.
  std::uint64_t z = run_seed + (battle_number + 1) * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

results Run(const tov_file& file, const options& how, const monitor& watch) {
  results empty;
  const std::vector<int> chances = enemy_draw::Chances(file.parties.size());
  for (const std::size_t& p : EnemyPositions(file)) {
    party_figures figures;
    figures.position = p;
    figures.name = json_form::ToUtf8(file.parties[p].name.str());
    figures.draw_share = static_cast<double>(chances[p]) / rng::kDrawCount;
    empty.parties.push_back(figures);
  }
  empty.campaign.resize(how.campaign);
  empty.planned = how.campaign > 0 ? how.battles * how.campaign : how.battles * empty.parties.size();

  run_state state(file, how, empty);
  const auto start = std::chrono::steady_clock::now();
  const auto seconds = [&start] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  unsigned jobs = how.jobs > 0 ? how.jobs : std::max(1u, std::thread::hardware_concurrency());
  std::atomic<unsigned> running{jobs};
  std::vector<std::thread> threads;
  for (unsigned j = 0; j < jobs; ++j) {
    threads.emplace_back([&state, &running] {
      state.Work();
      running.fetch_sub(1);
    });
  }
  while (running.load() > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (watch.stop && watch.stop()) state.stop.store(true);
    if (watch.progress) watch.progress(state.done.load(), empty.planned, seconds());
  }
  for (std::thread& t : threads) t.join();

  results totals = state.Totals();
  totals.planned = empty.planned;
  totals.done = state.done.load();
  totals.partial = totals.done < totals.planned;
  totals.seconds = seconds();
  return totals;
}

int Percentile(const std::array<std::uint64_t, kPointBins>& counts, const double& fraction) {
  std::uint64_t total = 0;
  for (const std::uint64_t& c : counts) total += c;
  if (total == 0) return 0;
  // The nearest rank: the first value whose running count reaches it.
  const auto rank = static_cast<std::uint64_t>(std::ceil(fraction * static_cast<double>(total)));
  std::uint64_t seen = 0;
  for (std::size_t v = 0; v < kPointBins; ++v) {
    seen += counts[v];
    if (seen >= std::max<std::uint64_t>(rank, 1)) return static_cast<int>(v);
  }
  return static_cast<int>(kPointBins - 1);
}

std::array<double, 2> Interval(const std::uint64_t& wins, const std::uint64_t& battles) {
  if (battles == 0) return {0, 1};
  constexpr double z = 1.959963984540054;
  const double n = static_cast<double>(battles);
  const double p = static_cast<double>(wins) / n;
  const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
  const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
  return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

}  // namespace arena
