#ifndef OSSIVAR_PLATFORM_TERMINAL_BACKEND_H
#define OSSIVAR_PLATFORM_TERMINAL_BACKEND_H

#include <cstddef>
#include <string>

#include "platform/stream_buffers.h"

// What each operating system's terminal backend provides (one source file
// per backend, chosen by the build). Only the terminal module uses it.
namespace terminal::backend {

// Switch to the alternate screen and back; the switch back also puts the
// cursor where it was before.
constexpr char kEnterAlternateScreen[] = "\x1b[?1049h";
constexpr char kLeaveAlternateScreen[] = "\x1b[?1049l";

bool OutputIsTerminal();
bool InputIsTerminal();

// Whether the terminal on standard output takes escape sequences.
bool EscapesAllowed();

// Asks the terminal by the system's own means to be at least this large;
// false where there are none (escape sequences are the caller's to send).
bool Resize(unsigned short columns, unsigned short rows);

// Blanks the screen and homes the cursor by the system's own means, for a
// terminal without escape sequences, once what is `pending` has been
// written; false (and nothing written) where there are no such means.
bool Clear(output_buffer* pending);

// The terminal's size; false when it is unknown.
bool Size(unsigned short* columns, unsigned short* rows);

// Standard output and input as output_buffer and input_buffer use them.
// While Read waits for input, and ReadKey below for a key, the screen is
// drawn again (TakeOver's `on_change`) whenever the terminal asks for it.
bool Write(const char* bytes, std::size_t count);
long Read(char* bytes, std::size_t capacity);

// Reads one whole key from the terminal without echo and puts the
// terminal's settings back afterwards. False at the end of input.
bool ReadKey(std::string* key);

// Called by the waits for input, never from a signal handler and only while
// the game has the terminal, when the terminal has changed size or has come
// back to the game after a stop: the screen is to be drawn again.
using redraw = void (*)();

// Takes charge of the signals that end or stop the program, except those
// ignored at start, so that the terminal is put back first, and of the
// news that its size changed. A game continued after a stop takes the
// terminal again only once it is in the foreground; until then it draws
// nothing. `screen` is drawn again in full when continued while not waiting.
void TakeOver(output_buffer* screen, redraw on_change);

// While set, every way out leaves the alternate screen, and a stop leaves it
// until the game is continued.
void UseAlternateScreen(bool use);

// Puts back whatever the game has changed in the terminal. Safe at any time,
// also from a signal handler, and more than once.
void PutBack();

}  // namespace terminal::backend

#endif
