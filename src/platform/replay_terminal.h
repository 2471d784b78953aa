#ifndef OSSIVAR_PLATFORM_REPLAY_TERMINAL_H
#define OSSIVAR_PLATFORM_REPLAY_TERMINAL_H

#include "platform/recording.h"

// The terminal and the clock as a recording remembers them, for a replay
// built with this backend in place of the system's: every read returns
// what the recorded read returned, in the same pieces, every clock reading
// the recorded one, and the terminal is what the header says it was. Where
// the terminal changed size the screen is drawn again, at the same point
// between reads. What the game writes goes to the recorder only.
namespace replay_terminal {

// Keeps `recorded`, which must outlive the replay.
void Load(const recording::contents* recorded);

// Clock readings the game asked for beyond those recorded.
unsigned ClockOverruns();

}  // namespace replay_terminal

#endif
