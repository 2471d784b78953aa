#include "platform/input.h"

#include <cstdlib>
#include <iostream>
#include <limits>

namespace input {
namespace {

EndOfInputHandler end_of_input_handler = nullptr;

// The terminal is put back by the exit itself.
[[noreturn]] void DefaultEndOfInput() {
  std::cout << '\n' << std::flush;
  std::exit(0);
}

void DiscardRestOfLine() {
  std::cin.clear();
  std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

// Skips white space; ends the program if nothing else is left.
void SkipBlanksOrEnd() {
  std::cin.clear();
  std::cin >> std::ws;
  if (std::cin.peek() == std::istream::traits_type::eof()) EndOfInput();
}

// A failed extraction leaves 0 for a non-number and the saturated value for
// a number out of range (the digits are consumed then).
template <typename Number>
Number ReadNumber() {
  SkipBlanksOrEnd();
  Number value = 0;
  std::cin >> value;
  if (std::cin.fail()) {
    if (value == 0) {
      DiscardRestOfLine();
    } else {
      std::cin.clear();
    }
  }
  return value;
}

}  // namespace

int ReadInt() { return ReadNumber<int>(); }

// The stream's own unsigned extraction: "-1" gives 4294967295, but a number
// beyond 32 bits saturates rather than wrapping onto a small valid answer.
unsigned int ReadUnsigned() { return ReadNumber<unsigned int>(); }

char ReadChar() {
  std::cin.clear();
  char choice = '\0';
  if (!(std::cin >> choice)) EndOfInput();
  return choice;
}

std::string ReadLine() {
  std::cin.clear();
  std::string line;
  if (!std::getline(std::cin, line)) EndOfInput();
  return line;
}

void DiscardLeftoverNewline() {
  std::cin.clear();
  // Only what has already been read counts: a peek at an empty input would
  // wait for the player's next line and then swallow its Enter.
  if (std::cin.rdbuf()->in_avail() > 0 && std::cin.peek() == '\n') std::cin.ignore(1);
}

EndOfInputHandler SetEndOfInputHandler(EndOfInputHandler handler) {
  EndOfInputHandler previous = end_of_input_handler;
  end_of_input_handler = handler;
  return previous;
}

void EndOfInput() {
  if (end_of_input_handler != nullptr) end_of_input_handler();
  DefaultEndOfInput();
}

}  // namespace input
