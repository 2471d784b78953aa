#ifndef OSSIVAR_PLATFORM_RECORDER_H
#define OSSIVAR_PLATFORM_RECORDER_H

#include <cstdint>
#include <string_view>

#include "platform/recording.h"

// Everything the game meets outside itself passes through the platform
// layer, which tells the recorder here: the bytes the terminal showed and
// the bytes the game read, each clock reading and each change of the
// terminal's size. With nothing attached it records nothing.
namespace recorder {

// Where the events go: a recording file, or a replay checking them.
class sink {
 public:
  virtual ~sink() = default;
  virtual void Take(const recording::event& happened) = 0;
  // The game is about to wait for the player: a good moment to write.
  virtual void Waiting() {}
};

// Events are timed from here on. nullptr detaches.
void Attach(sink* to);

// The game's own bytes as they went to the terminal.
void Output(std::string_view bytes);
// The terminal's echo of keys the game read at a prompt.
void Echo(std::string_view bytes);
void Input(std::string_view bytes);
void Clock(std::int64_t seconds);
void Resize(unsigned short columns, unsigned short rows);
void Waiting();

}  // namespace recorder

#endif
