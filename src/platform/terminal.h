#ifndef OSSIVAR_PLATFORM_TERMINAL_H
#define OSSIVAR_PLATFORM_TERMINAL_H

// The game's only contact with the terminal beyond plain reads and writes.
//
// "Standard output is a terminal" means fd 1 is a tty AND std::cout still
// writes through the buffer it had at start-up; likewise for standard input
// and std::cin. Tests swap those buffers to capture screens, so captured
// screens never contain escape sequences and key waits never block.
namespace terminal {

bool StdoutIsTerminal();
bool StdinIsTerminal();

// False where TERM is unset or "dumb": then no escape sequence is written.
bool EscapesAllowed();

// Blanks the screen and homes the cursor. Without escapes a clear is a
// blank line; when standard output is not a terminal it writes nothing.
void Clear();

// Asks the terminal for 80 by 24. If it is still smaller afterwards, shows
// one notice screen with the current size and waits for a key.
void SizeConsole();

// Waits for one key without echo and prints nothing. Returns at once when
// standard input is not a terminal. End of input during the wait (a closed
// terminal or Ctrl-D) ends the program through input::EndOfInput.
void WaitKey();

// Puts back the settings a key wait changed, if it changed any. Safe to call
// at any time and more than once.
void RestoreSettings();

}  // namespace terminal

#endif
