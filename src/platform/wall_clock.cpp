#include "platform/wall_clock.h"

#include "platform/recorder.h"

namespace wall_clock {
namespace {

source current = nullptr;

}  // namespace

std::time_t Now() {
  const std::time_t now = current != nullptr ? current() : std::time(nullptr);
  // The readings seed the game's chance: a replay needs every one.
  recorder::Clock(static_cast<std::int64_t>(now));
  return now;
}

source SetSource(source now) {
  const source previous = current;
  current = now;
  return previous;
}

}  // namespace wall_clock
