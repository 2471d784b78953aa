#ifndef OSSIVAR_PLATFORM_TERMINAL_H
#define OSSIVAR_PLATFORM_TERMINAL_H

#include "platform/recording.h"

// The game's only contact with the terminal beyond plain reads and writes.
//
// "Standard output is a terminal" means fd 1 is a terminal AND std::cout
// still writes through the buffer Start gave it; likewise for standard input
// and std::cin. Before Start, and while tests swap those buffers to capture
// screens, neither is a terminal: captured screens never contain escape
// sequences and key waits never block.
namespace terminal {

// The terminal as a recording must know it to replay the run: whether
// standard output and input are terminals, whether it takes escape
// sequences, its size. Asked before Start.
recording::terminal_facts Facts();

// Takes charge of the terminal for the whole run; called once, first thing.
// Output is then buffered and reaches the terminal in one write whenever the
// game waits for the player or ends. On a terminal that takes escape
// sequences the game draws on the alternate screen, so the player's own
// screen and scrollback come back untouched on every way out: a normal end,
// the end of input, an ending or fatal signal, std::terminate. Ctrl-Z hands
// the terminal back while the game is stopped and `fg` takes it again; a
// game continued in the background draws nothing until then. While the game
// waits for the player, a change of the terminal's size draws the current
// screen again, whole and in one write, or while the terminal is smaller
// than 80 by 24 the size notice instead (a line half typed stays typed).
// Signals ignored when the game started stay ignored.
void Start();

bool StdoutIsTerminal();
bool StdinIsTerminal();

// Whether the terminal takes escape sequences; when it does not, none is
// written. On POSIX systems TERM tells (unset or "dumb": no); a Windows
// console takes them once the game has switched them on, where it can.
bool EscapesAllowed();

// Blanks the screen and homes the cursor; the scrollback is left alone.
// Without escapes the console's own calls clear it where there are such
// (Windows), else a clear is a blank line; when standard output is not a
// terminal it writes nothing.
void Clear();

// When the terminal is known to be smaller than 80 by 24, asks it for that
// size; if it is still smaller afterwards, shows one notice screen with the
// current size and waits for a key.
void SizeConsole();

// Waits for one key without echo and prints nothing. Arrow and function keys
// count as one key even when their bytes arrive a little apart. A key that
// answers the size notice brings the screen back and the wait goes on. Returns at
// once when standard input is not a terminal. End of input during the wait
// (a closed terminal or Ctrl-D) ends the program through input::EndOfInput.
void WaitKey();

}  // namespace terminal

#endif
