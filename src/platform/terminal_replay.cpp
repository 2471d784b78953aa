// The terminal backend of the replay program.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/replay_terminal.h"
#include "platform/terminal_backend.h"
#include "platform/wall_clock.h"

namespace replay_terminal {
namespace {

const recording::contents* session = nullptr;
// The next event each kind of reader looks at.
std::size_t next_input = 0;
std::size_t next_clock = 0;
// What is left of an input event a read had no room for.
std::size_t input_taken = 0;
unsigned short columns = 0;
unsigned short rows = 0;
terminal::backend::redraw on_change = nullptr;
std::time_t last_reading = 0;
unsigned overruns = 0;

std::time_t RecordedClock() {
  const std::vector<recording::event>& events = session->events;
  while (next_clock < events.size() && events[next_clock].type != recording::kClock) ++next_clock;
  if (next_clock == events.size()) {
    ++overruns;
    return last_reading;
  }
  last_reading = static_cast<std::time_t>(std::strtoll(events[next_clock++].data.c_str(), nullptr, 10));
  return last_reading;
}

// The next recorded read, once the redraws recorded before it are done;
// nullptr when the recorded session read nothing more.
const recording::event* NextInput() {
  const std::vector<recording::event>& events = session->events;
  while (next_input < events.size()) {
    const recording::event& happened = events[next_input];
    if (happened.type == recording::kInput && input_taken < happened.data.size()) return &happened;
    ++next_input;
    input_taken = 0;
    if (happened.type == recording::kResize && recording::ParseSize(happened.data, &columns, &rows) &&
        on_change != nullptr) {
      on_change();
    }
  }
  return nullptr;
}

}  // namespace

void Load(const recording::contents* recorded) {
  session = recorded;
  next_input = next_clock = input_taken = 0;
  columns = recorded->head.terminal.columns;
  rows = recorded->head.terminal.rows;
  wall_clock::SetSource(RecordedClock);
}

unsigned ClockOverruns() { return overruns; }

}  // namespace replay_terminal

namespace terminal::backend {

using namespace replay_terminal;

bool OutputIsTerminal() { return session->head.terminal.output_is_terminal; }
bool InputIsTerminal() { return session->head.terminal.input_is_terminal; }
bool EscapesAllowed() { return session->head.terminal.escapes && OutputIsTerminal(); }

bool Resize(unsigned short, unsigned short) { return false; }
bool Clear(output_buffer*) { return false; }

bool Size(unsigned short* wide, unsigned short* high) {
  if (columns == 0) return false;
  *wide = columns;
  *high = rows;
  return true;
}

bool Write(const char*, std::size_t) { return true; }

long Read(char* bytes, std::size_t capacity) {
  const recording::event* typed = NextInput();
  if (typed == nullptr) return 0;
  const std::size_t count = std::min(capacity, typed->data.size() - input_taken);
  std::memcpy(bytes, typed->data.data() + input_taken, count);
  input_taken += count;
  return static_cast<long>(count);
}

bool ReadKey(std::string* key) {
  const recording::event* typed = NextInput();
  if (typed == nullptr) return false;
  key->assign(typed->data, input_taken, std::string::npos);
  input_taken = typed->data.size();
  return true;
}

void TakeOver(output_buffer*, redraw redraw_screen) { on_change = redraw_screen; }
void UseAlternateScreen(bool) {}
void PutBack() {}

}  // namespace terminal::backend
