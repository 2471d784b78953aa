#include "platform/wall_clock.h"

namespace wall_clock {
namespace {

source current = nullptr;

}  // namespace

std::time_t Now() { return current != nullptr ? current() : std::time(nullptr); }

source SetSource(source now) {
  const source previous = current;
  current = now;
  return previous;
}

}  // namespace wall_clock
