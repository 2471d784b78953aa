#include "arena_command.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "arena_report.h"
#include "check.h"
#include "json_form.h"
#include "platform/file_store.h"
#include "platform/long_run.h"

namespace arena_command {

namespace {

constexpr int kNothingToFight = 2;
constexpr int kNotWritten = 1;
constexpr int kInterrupted = 130;

// "[#####-----]  50%  6000/12000 battles, 40000 a second, 1 s left",
// drawn over itself.
void DrawProgress(std::ostream& err, const std::uint64_t& done, const std::uint64_t& planned,
                  const double& seconds) {
  constexpr int kBarWidth = 24;
  const double share = planned == 0 ? 1 : static_cast<double>(done) / static_cast<double>(planned);
  const int filled = std::clamp(static_cast<int>(share * kBarWidth), 0, kBarWidth);
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  const double left = rate > 0 ? static_cast<double>(planned - done) / rate : 0;
  char text[160];
  std::snprintf(text, sizeof text, "\r[%s%s] %3.0f%%  %llu/%llu battles, %.0f a second, %.0f s left ",
                std::string(static_cast<std::size_t>(filled), '#').c_str(),
                std::string(static_cast<std::size_t>(kBarWidth - filled), '-').c_str(), 100 * share,
                static_cast<unsigned long long>(done), static_cast<unsigned long long>(planned), rate, left);
  err << text << std::flush;
}

// Only on a terminal, and only once the run has lasted a second.
arena::monitor Watch(std::ostream& err, bool& drawn) {
  arena::monitor watch;
  watch.stop = [] { return long_run::Interrupted(); };
  if (!long_run::ErrorIsTerminal()) return watch;
  watch.progress = [&err, &drawn](const std::uint64_t& done, const std::uint64_t& planned, const double& seconds) {
    if (seconds < 1) return;
    DrawProgress(err, done, planned, seconds);
    drawn = true;
  };
  return watch;
}

}  // namespace

int Run(const tov::loaded& file, const arena::options& how, std::ostream& out, std::ostream& err) {
  const tov_file& content = *file.file;
  if (content.parties.empty() || content.parties.front().members.empty()) {
    err << "tov: \"" << how.path << "\" has no player's party with members to fight with\n";
    return kNothingToFight;
  }
  const std::vector<std::size_t> enemies = arena::EnemyPositions(content);
  if (enemies.empty()) {
    err << "tov: \"" << how.path << "\" has no enemy party that battles draw\n";
    return kNothingToFight;
  }

  bool drawn = false;
  long_run::CatchInterrupt();
  const arena::results found = arena::Run(content, how, Watch(err, drawn));
  long_run::ReleaseInterrupt();
  // Wipes the bar with blanks: the terminal may not take escapes.
  if (drawn) err << '\r' << std::string(79, ' ') << '\r' << std::flush;

  arena_report::context run;
  run.how = &how;
  run.found = &found;
  run.jobs = how.jobs > 0 ? how.jobs : std::max(1u, std::thread::hardware_concurrency());
  run.player_party = json_form::ToUtf8(content.parties.front().name.str());
  run.player_character = json_form::ToUtf8(content.parties.front().members.front()->name.str());
  for (const std::size_t& p : enemies) run.places.push_back(check::PartyPlace(file, p));

  if (!how.svg.empty()) {
    const std::string why =
        file_store::Replace(how.svg, file_store::TemporaryBeside(how.svg), arena_report::Svg(run)).words;
    if (!why.empty()) {
      err << "tov: cannot write \"" << how.svg << "\": " << why << "\n";
      return kNotWritten;
    }
  }
  if (how.json) {
    out << arena_report::Json(run).dump(2) << "\n";
  } else {
    out << arena_report::Table(run);
    const tov::problems warned = arena_report::Warnings(run);
    if (!warned.empty()) out << "\n";
    for (const tov::problem& w : warned) out << how.path << ": " << w.where << ": warning: " << w.what << "\n";
  }
  return found.partial ? kInterrupted : 0;
}

}  // namespace arena_command
