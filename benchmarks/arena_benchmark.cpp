// Battles of the shipped content through the battle engine: one at a time,
// and whole arena runs, whose battles a second per job the counters show.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/file_store.h"
#include "tov/arena.h"
#include "tov/tov_scan.h"

namespace {

const tov::loaded& Core() {
  static const tov::loaded core = [] {
    std::string bytes;
    file_store::ReadWhole(OSSIVAR_CORE_DATA, bytes);
    return tov_scan::Scan(bytes);
  }();
  return core;
}

class random_fighter : public combat::engine {
 protected:
  void Command(actor* ally, motive& m) override { m = arena::Choice(arena::policy::kRandom, *this, ally); }
};

// Copies of the player's party and the last enemy party, set back and
// restored before every battle as the arena does.
void OneBattle(benchmark::State& state) {
  const tov_file& file = *Core().file;
  party allies;
  party foes;
  for (actor* a : file.parties.front().members) allies.AddMember(a);
  for (actor* a : file.parties.back().members) foes.AddMember(a);
  random_fighter fight;
  rng::generator draws;
  fight.draws = &draws;
  fight.allies = &allies;
  fight.foes = &foes;
  std::uint64_t number = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < allies.members.size(); ++i) {
      *allies.members[i] = *file.parties.front().members[i];
      allies.members[i]->player_controlled = true;
      allies.members[i]->Restore();
    }
    for (std::size_t i = 0; i < foes.members.size(); ++i) {
      *foes.members[i] = *file.parties.back().members[i];
      foes.members[i]->Restore();
    }
    draws.Seed(arena::BattleSeed(1, number++));
    benchmark::DoNotOptimize(fight.Fight(1000));
  }
  state.counters["battles_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                            benchmark::Counter::kIsRate);
}
BENCHMARK(OneBattle);

// A whole default run of 20,000 battles against each enemy party.
void WholeRun(benchmark::State& state) {
  arena::options how;
  how.battles = 20000;
  how.seed = 7;
  how.jobs = static_cast<unsigned>(state.range(0));
  std::uint64_t battles = 0;
  for (auto _ : state) {
    const arena::results found = arena::Run(*Core().file, how);
    battles += found.done;
  }
  state.counters["battles_per_second"] = benchmark::Counter(static_cast<double>(battles), benchmark::Counter::kIsRate);
  state.counters["per_job"] =
      benchmark::Counter(static_cast<double>(battles) / static_cast<double>(how.jobs), benchmark::Counter::kIsRate);
}
BENCHMARK(WholeRun)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
