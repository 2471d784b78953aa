// Replaying an hour of play: a session of 1,800 answers (a player answering
// every two seconds for an hour) is recorded once by the game itself, then
// replayed by ossivar-replay, start to exit, as a player or a test runs it.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_store.h"
#include "platform/recording.h"

namespace fs = std::filesystem;

namespace {

constexpr int kAnswersInAnHour = 1800;

// A new character, then attacks on the enemies in turn, battle after battle.
std::string HourOfAnswers() {
  std::string answers = "n\nTamsin\nf\n0\n1\n1\n1\n0\n1\n0\n1\n4\n";
  for (int i = 0; answers.size() < 2 * kAnswersInAnHour; ++i) {
    answers += "0\n" + std::to_string(i / 8 % 3) + "\n";
  }
  return answers;
}

const std::string& HourRecording() {
  static const std::string path = [] {
    const fs::path folder = fs::temp_directory_path() / "ossivar-replay-benchmark";
    fs::remove_all(folder);
    fs::create_directories(folder / "data");
    fs::copy_file(OSSIVAR_CORE_DATA, folder / "data" / "Core Data.tov");
    std::ofstream(folder / "answers.txt") << HourOfAnswers();
    const std::string play = "cd \"" + folder.string() + "\" && \"" + OSSIVAR_GAME + "\" <answers.txt >/dev/null";
    if (std::system(play.c_str()) != 0) return std::string();
    for (const auto& entry : fs::directory_iterator(folder / "data" / "recordings")) return entry.path().string();
    return std::string();
  }();
  return path;
}

void ReplayAnHour(benchmark::State& state) {
  const std::string& path = HourRecording();
  std::string bytes;
  recording::contents recorded;
  if (path.empty() || !file_store::ReadWhole(path, bytes).ok() || !recording::Read(bytes, &recorded).ok()) {
    state.SkipWithError("the game made no recording to replay");
    return;
  }
  const std::string replay = "\"" + std::string(OSSIVAR_REPLAY) + "\" \"" + path + "\" >/dev/null";
  for (auto _ : state) {
    if (std::system(replay.c_str()) != 0) {
      state.SkipWithError("the replay was not exact");
      return;
    }
  }
  std::size_t screens = 0;
  for (const recording::event& happened : recorded.events) screens += happened.type == recording::kOutput;
  state.counters["screens"] = static_cast<double>(screens);
  state.counters["recording_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(ReplayAnHour)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
