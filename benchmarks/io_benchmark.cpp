// Loading and saving a large data file, against a plain read of the same
// bytes. Sizes are fractions of the largest file the format can hold in
// races, careers and actors (65535 of each).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "data_file/io_file.h"

namespace {

constexpr int kFullCount = 65535;

std::string g_directory;

std::string BaseName(const int& count) { return "bench" + std::to_string(count); }

std::string DataDirectory() { return g_directory + "/data/"; }

std::string PathOf(const int& count) { return DataDirectory() + BaseName(count) + ".tov"; }

// Loads the file as the game's constructor does, from the benchmark's own
// data directory.
void Load(tov_file& file, const int& count) {
  file.directory = DataDirectory();
  file.Open(BaseName(count), true);
  file.ReadAll(true);
}

// Writes a valid file of count races, careers and actors (each actor
// naming a race and a career), and parties of up to 250 shared members.
void MakeFile(const int& count) {
  tov_file file;
  file.directory = DataDirectory();
  file.file_name = BaseName(count);
  file.title = pstr<unsigned char>("Benchmark");
  const std::string text(120, 'x');
  for (int i = 0; i < count; ++i) {
    file.races.emplace_back(i, ("Race " + std::to_string(i)).c_str(), text.c_str(), &aspects::kindness,
                            &aspects::greed, stat_modifiers{256, 256, 256, 256, 256, 256, 256, 256, 256});
    file.careers.emplace_back(i, ("Career " + std::to_string(i)).c_str(), text.c_str(),
                              stat_modifiers{128, 128, 128, 128, 128, 128, 128, 128, 128});
  }
  for (int i = 0; i < count; ++i) {
    file.actors.emplace_back(i, ("Actor " + std::to_string(i)).c_str(), i % 2 == 0,
                             &file.races[(i * 7) % count], &file.careers[(i * 13) % count],
                             &aspects::patience, &aspects::envy);
  }
  const int party_count = count / 64 + 1;
  for (int p = 0; p < party_count; ++p) {
    file.parties.emplace_back();
    party& group = file.parties.back();
    group.shared_members = true;
    const int members = p % 250 + 1;
    for (int m = 0; m < members; ++m) group.AddMember(&file.actors[(p * 251 + m) % count]);
  }
  if (!file.Write(true)) std::abort();
}

const std::string& Ensure(const int& count) {
  static std::map<int, std::string> made;
  auto found = made.find(count);
  if (found == made.end()) {
    MakeFile(count);
    found = made.emplace(count, PathOf(count)).first;
  }
  return found->second;
}

void SetCounters(benchmark::State& state, const int& count) {
  const auto bytes = std::filesystem::file_size(Ensure(count));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

void BM_PlainRead(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string& path = Ensure(count);
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(std::filesystem::file_size(path), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
  }
  SetCounters(state, count);
}

void BM_Load(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Ensure(count);
  for (auto _ : state) {
    tov_file file;
    Load(file, count);
    if (file.actors.size() != static_cast<std::size_t>(count)) std::abort();
    benchmark::DoNotOptimize(file.parties.back().members.data());
  }
  SetCounters(state, count);
}

// Each save syncs the file and the directory, as the game's saves do.
void BM_Write(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Ensure(count);
  tov_file file;
  Load(file, count);
  for (auto _ : state) {
    if (!file.Write(true)) std::abort();
  }
  SetCounters(state, count);
}

constexpr int kSizes[] = {kFullCount / 16, kFullCount / 4, kFullCount};

void Sizes(benchmark::internal::Benchmark* benchmark) {
  for (const int& count : kSizes) benchmark->Arg(count);
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PlainRead)->Apply(Sizes);
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_Write)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/ossivar-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  g_directory = pattern;
  std::filesystem::create_directory(DataDirectory());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(g_directory);
  return 0;
}
