#ifndef OSSIVAR_CONSOLE_SCREEN_SIZE_H
#define OSSIVAR_CONSOLE_SCREEN_SIZE_H

// The screen every screen is laid out for; the terminal is asked for this
// size at start.
namespace console {

constexpr int kScreenColumns = 80;
constexpr int kScreenLines = 24;

}  // namespace console

#endif
