#include "platform/terminal.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "platform/input.h"
#include "platform/recorder.h"
#include "platform/stream_buffers.h"
#include "platform/terminal_backend.h"

namespace terminal {
namespace {

constexpr unsigned short kWantedColumns = 80;
constexpr unsigned short kWantedRows = 24;

// Home, then blank the screen. Never ESC[3J: the scrollback is the player's.
constexpr char kClearScreen[] = "\x1b[H\x1b[2J";

// Set by Start; null before, as in tests and tools.
output_buffer* game_output = nullptr;
input_buffer* game_input = nullptr;
std::streambuf* original_output = nullptr;
std::streambuf* original_input = nullptr;
std::terminate_handler previous_terminate = nullptr;
bool alternate_screen = false;
// The size notice stands in for the screen until the terminal is large
// enough again, a key is pressed or the next screen begins.
bool notice_shown = false;
bool in_key_wait = false;

// Every normal end of the process (return from main, std::exit) comes here.
void Finish() {
  if (alternate_screen) {
    game_output->sputn(backend::kLeaveAlternateScreen, sizeof backend::kLeaveAlternateScreen - 1);
  }
  game_output->pubsync();
  backend::UseAlternateScreen(false);
  alternate_screen = false;
  if (std::cout.rdbuf() == game_output) std::cout.rdbuf(original_output);
  if (std::cin.rdbuf() == game_input) std::cin.rdbuf(original_input);
}

// The terminal first, so the reason printed next lands on the player's
// screen rather than on the alternate one that is about to vanish.
[[noreturn]] void OnTerminate() {
  backend::PutBack();
  if (previous_terminate != nullptr) previous_terminate();
  std::abort();
}

// Everything the terminal is given or sends passes the recorder on its way.
bool Show(const char* bytes, std::size_t count) {
  recorder::Output(std::string_view(bytes, count));
  return backend::Write(bytes, count);
}

long ReadTyped(char* bytes, std::size_t capacity) {
  recorder::Waiting();
  const long count = backend::Read(bytes, capacity);
  if (count > 0) {
    const std::string_view typed(bytes, static_cast<std::size_t>(count));
    recorder::Input(typed);
    // A terminal shows what is typed at a prompt by itself.
    if (backend::InputIsTerminal()) recorder::Echo(typed);
  }
  return count;
}

bool TooSmall(unsigned short columns, unsigned short rows) {
  return columns < kWantedColumns || rows < kWantedRows;
}

// A terminal that honours the resize request does so a moment later; give
// it that moment before judging its size.
void AwaitResize() {
  for (int tries = 0; tries < 10; ++tries) {
    unsigned short columns = 0;
    unsigned short rows = 0;
    if (!backend::Size(&columns, &rows) || !TooSmall(columns, rows)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string SizeNotice(unsigned short columns, unsigned short rows) {
  return "\n\tOSSIVAR needs a console of " + std::to_string(kWantedColumns) + " columns by " +
         std::to_string(kWantedRows) + " lines.\n\tThis one is " + std::to_string(columns) + " by " +
         std::to_string(rows) + ".\n\n\tEnlarge it if you can, then press a key.\n";
}

void ShowSizeNotice(unsigned short columns, unsigned short rows) {
  Clear();
  std::cout << SizeNotice(columns, rows);
  WaitKey();
}

// The kept screen, its clear included, in one write.
void DrawScreenAgain() {
  notice_shown = false;
  const std::string_view drawn = game_output->Written();
  Show(drawn.data(), drawn.size());
}

// The terminal changed size or came back to the game. Only a kept screen
// can be drawn again; a terminal too small for it gets the notice instead.
void Redraw() {
  if (!alternate_screen || !StdoutIsTerminal()) return;
  unsigned short columns = 0;
  unsigned short rows = 0;
  // A line half typed at a prompt is not on the screen drawn here, nor is
  // the screen under a notice: what the game adds next comes with all of
  // the screen, the whole line included. A key wait types nothing, and a key
  // there answers the notice itself.
  if (!in_key_wait) game_output->RedrawOnNextFlush();
  const bool known = backend::Size(&columns, &rows);
  // An unknown size draws the screen as 80 by 24 would: so it is replayed.
  recorder::Resize(known ? columns : kWantedColumns, known ? rows : kWantedRows);
  if (!known || !TooSmall(columns, rows)) {
    DrawScreenAgain();
    return;
  }
  notice_shown = true;
  const std::string notice = kClearScreen + SizeNotice(columns, rows);
  Show(notice.data(), notice.size());
}

}  // namespace

void Start() {
  if (game_output != nullptr) return;
  static output_buffer output(Show);
  static input_buffer input(ReadTyped, &output);
  game_output = &output;
  game_input = &input;
  original_output = std::cout.rdbuf(&output);
  original_input = std::cin.rdbuf(&input);
  backend::TakeOver(&output, Redraw);
  previous_terminate = std::set_terminate(OnTerminate);
  std::atexit(Finish);
  if (StdoutIsTerminal() && EscapesAllowed()) {
    // Sent at once: a way out that leaves a screen never entered would move
    // the cursor on the player's own screen.
    std::cout << backend::kEnterAlternateScreen << std::flush;
    output.KeepScreen(true);
    alternate_screen = true;
    backend::UseAlternateScreen(true);
  }
}

bool StdoutIsTerminal() {
  return game_output != nullptr && std::cout.rdbuf() == game_output && backend::OutputIsTerminal();
}

bool StdinIsTerminal() {
  return game_input != nullptr && std::cin.rdbuf() == game_input && backend::InputIsTerminal();
}

bool EscapesAllowed() { return backend::EscapesAllowed(); }

recording::terminal_facts Facts() {
  recording::terminal_facts facts;
  facts.output_is_terminal = backend::OutputIsTerminal();
  facts.input_is_terminal = backend::InputIsTerminal();
  facts.escapes = backend::EscapesAllowed();
  if (!backend::Size(&facts.columns, &facts.rows)) facts.columns = facts.rows = 0;
  return facts;
}

void Clear() {
  if (!StdoutIsTerminal()) return;
  notice_shown = false;
  game_output->StartScreen();
  if (EscapesAllowed()) {
    std::cout << kClearScreen;
    return;
  }
  if (!backend::Clear(game_output)) std::cout << '\n';
}

void SizeConsole() {
  if (!StdoutIsTerminal()) return;
  unsigned short columns = 0;
  unsigned short rows = 0;
  // A terminal of unknown size or large enough is never asked to change.
  if (!backend::Size(&columns, &rows) || !TooSmall(columns, rows)) return;
  if (backend::Resize(kWantedColumns, kWantedRows)) {
    AwaitResize();
  } else if (EscapesAllowed()) {
    std::cout << "\x1b[8;" << kWantedRows << ';' << kWantedColumns << 't' << std::flush;
    AwaitResize();
  }
  if (backend::Size(&columns, &rows) && TooSmall(columns, rows)) ShowSizeNotice(columns, rows);
}

void WaitKey() {
  std::cout.flush();
  if (!StdinIsTerminal()) return;
  std::string key;
  for (;;) {
    recorder::Waiting();
    in_key_wait = true;
    const bool got_key = backend::ReadKey(&key);
    in_key_wait = false;
    if (!got_key) input::EndOfInput();
    recorder::Input(key);
    if (!notice_shown) return;
    // As at start, a key answers the notice: the screen comes back at the
    // size there is, and still waits for its own key.
    DrawScreenAgain();
  }
}

}  // namespace terminal
