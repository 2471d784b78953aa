#ifndef OSSIVAR_PLATFORM_WALL_CLOCK_H
#define OSSIVAR_PLATFORM_WALL_CLOCK_H

#include <ctime>

// The calendar time, the game's only clock: it dates every save and seeds
// the random source before each battle and each round.
namespace wall_clock {

std::time_t Now();

// What Now reads; nullptr is the system's clock. Tests set a fixed time so
// that a whole game repeats exactly, on any system. Returns the previous.
using source = std::time_t (*)();
source SetSource(source now);

}  // namespace wall_clock

#endif
