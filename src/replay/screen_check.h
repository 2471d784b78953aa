#ifndef OSSIVAR_REPLAY_SCREEN_CHECK_H
#define OSSIVAR_REPLAY_SCREEN_CHECK_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/recorder.h"
#include "platform/recording.h"

namespace replay {

// Where a replay first drew something other than the recording.
struct difference {
  std::size_t screen = 0;  // 1 for the recording's first "o" event
  std::int64_t microseconds = 0;  // the recorded screen's time
  std::size_t line = 0;  // 1 for the screen's first line
  std::string recorded;
  std::string replayed;
  bool missing = false;  // the replay ended before drawing this screen
};

// Compares each screen the replayed game draws with the recorded one in
// turn. Screens drawn after the recording's last one are not compared: the
// recording stopped there (the game was killed, or is still running).
class screen_check : public recorder::sink {
 public:
  using stop = void (*)(const difference& first);

  // `on_difference` never returns.
  screen_check(const std::vector<recording::event>& recorded, stop on_difference);

  void Take(const recording::event& happened) override;

  std::size_t Recorded() const { return screens_.size(); }
  std::size_t Compared() const { return compared_; }

  // Calls `on_difference` if the recording has screens the replay never
  // drew.
  void Finish();

 private:
  std::vector<const recording::event*> screens_;
  std::size_t compared_ = 0;
  stop on_difference_;
};

// The first line (1 and up) on which the two screens differ, with both
// lines; line 0 when they are the same.
difference FirstDifference(std::string_view recorded, std::string_view replayed);

// A line as the report shows it, quoted: control bytes as \xHH.
std::string Visible(std::string_view line);

}  // namespace replay

#endif
