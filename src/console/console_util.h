#ifndef OSSIVAR_CONSOLE_CONSOLE_UTIL_H
#define OSSIVAR_CONSOLE_CONSOLE_UTIL_H

// The common frame of every screen. Screens use these, never the terminal
// module itself.
namespace console {

// 80 "=" and a newline: exactly one console line. The caller prints it.
const char* HorizontalLine();

// Clears the console and puts the cursor at the top left.
void NewScreen();

// Waits for one key; prints nothing.
void Pause();

}  // namespace console

#endif
