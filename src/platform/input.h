#ifndef OSSIVAR_PLATFORM_INPUT_H
#define OSSIVAR_PLATFORM_INPUT_H

#include <string>

// Every screen reads the keyboard through these functions, always from
// std::cin (tests swap its buffer to script the input).
//
// Rule for every prompt built on them: no prompt may redraw without reading
// new input. Each read below consumes at least one character or ends the
// program, so a "wrong entry, redraw" loop can never spin on its own.
//
// End of input (Ctrl-D, a closed pipe) at any read calls the end-of-input
// handler, which never returns to the caller.
namespace input {

// A signed integer by formatted extraction. A non-number counts as 0 and the
// rest of its line is discarded so the next read starts fresh; a number out
// of range saturates to the nearest int.
int ReadInt();

// An unsigned integer by formatted extraction: a negative number within 32
// bits is taken modulo 2^32 ("-1" gives 4294967295), a number of more than
// 32 bits either way gives 4294967295. A non-number counts as 0.
unsigned int ReadUnsigned();

// One character by formatted extraction: white space is skipped, the rest of
// the line stays in the input for later reads.
char ReadChar();

// One line; the newline is consumed and not kept.
std::string ReadLine();

// Clears std::cin's error state and, if the next character is a newline
// already waiting (left by a formatted read), discards it. Never waits for
// input. Used before ReadLine.
void DiscardLeftoverNewline();

// Must not return normally: it exits or throws. If it does return, the
// default behaviour runs after it.
using EndOfInputHandler = void (*)();

// Installs a handler (nullptr puts back the default, which writes a newline
// and exits with status 0, the terminal put back). Returns the previous.
EndOfInputHandler SetEndOfInputHandler(EndOfInputHandler handler);

// Called by the reads above and by the key wait at end of input.
[[noreturn]] void EndOfInput();

}  // namespace input

#endif
