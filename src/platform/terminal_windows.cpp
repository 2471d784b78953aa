// The terminal on Windows: the console's own calls for the key wait, sizing
// and (where it takes no escape sequences) clearing; plain reads and writes
// where standard input or output is a file or a pipe. Text crosses the
// console as UTF-16 and is UTF-8 everywhere else.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/key_sequence.h"
#include "platform/terminal_backend.h"
#include "platform/text_mode.h"
#include "platform/utf16.h"

namespace terminal::backend {
namespace {

HANDLE Output() { return GetStdHandle(STD_OUTPUT_HANDLE); }
HANDLE Input() { return GetStdHandle(STD_INPUT_HANDLE); }

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// What the game changed in the console, to be put back on every way out.
// The console's control handler reads them on a thread of its own.
DWORD output_mode_found = 0;
std::atomic<bool> output_mode_changed{false};
DWORD input_mode_found = 0;
std::atomic<bool> input_mode_changed{false};
std::atomic<bool> alternate_screen{false};
std::atomic<bool> escapes{false};
LPTOP_LEVEL_EXCEPTION_FILTER previous_filter = nullptr;

// The first bytes of a character whose rest has not been written yet.
std::string held_output;

// Input read but not yet handed on, and how it is read as text.
std::string read_ahead;
std::u16string held_unit;  // half of a character the console split
bool input_over = false;

// The bytes of the last key pressed in a key wait, not yet handed on.
std::string key_bytes;

// Draws the screen again when the console's size changes.
redraw on_change = nullptr;
// Whether the console has handed on only part of the line being read.
bool line_open = false;

bool WriteToConsole(HANDLE out, std::u16string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto count = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 14));
    if (!WriteConsoleW(out, text.data(), count, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

bool WriteToFile(HANDLE out, const char* bytes, std::size_t count) {
  while (count > 0) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 20));
    if (!WriteFile(out, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

// Safe from the control handler: plain calls, each step done once.
void PutBackNow() {
  if (alternate_screen.exchange(false)) {
    DWORD written = 0;
    WriteConsoleA(Output(), kLeaveAlternateScreen, sizeof kLeaveAlternateScreen - 1, &written, nullptr);
  }
  if (output_mode_changed.exchange(false)) SetConsoleMode(Output(), output_mode_found);
  if (input_mode_changed.exchange(false)) SetConsoleMode(Input(), input_mode_found);
  escapes = false;
}

void PutBackAtExit() { PutBackNow(); }

// Ctrl-C, Ctrl-Break, the window closed, the user logging off: the console
// first, then the end the system gives these. Ending here, rather than
// letting the main thread unwind, keeps it from writing on a console that
// is already put back.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      PutBackNow();
      TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
      return TRUE;
    default:
      return FALSE;
  }
}

// A crash: the console first, then whatever reports it.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception) {
  PutBackNow();
  return previous_filter != nullptr ? previous_filter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// Until the first key of a line, drawing the screen again on each change of
// size. Once typing has begun the console edits the line by itself and
// keeps such changes to itself; what it drops anyway is dropped here.
void AwaitTyping() {
  for (;;) {
    INPUT_RECORD record{};
    DWORD count = 0;
    if (WaitForSingleObject(Input(), INFINITE) != WAIT_OBJECT_0) return;
    if (!PeekConsoleInputW(Input(), &record, 1, &count)) return;
    if (count == 0) continue;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
    if (!ReadConsoleInputW(Input(), &record, 1, &count)) return;
    if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) on_change();
  }
}

// One line as the console gives it, in UTF-8; false at its end.
bool ReadConsoleText(std::string* text) {
  // The rest of a line longer than the buffer is already with the console.
  if (!line_open) AwaitTyping();
  char16_t units[512];
  // A Ctrl-C ends a read with nothing; the control handler ends the game
  // a moment later. Only a console that keeps giving nothing is gone.
  for (int empty_reads = 0; empty_reads < 20; ++empty_reads) {
    DWORD count = 0;
    if (!ReadConsoleW(Input(), units, sizeof units / sizeof units[0], &count, nullptr)) return false;
    if (count == 0) {
      Sleep(50);
      continue;
    }
    std::u16string read = held_unit + std::u16string(units, count);
    held_unit.clear();
    const char16_t last = read.back();
    if (last >= 0xD800 && last <= 0xDBFF) {
      held_unit.assign(1, last);
      read.pop_back();
    }
    *text = utf16::ToUtf8(read);
    line_open = text->empty() || text->back() != '\n';
    return true;
  }
  return false;
}

bool ReadFileText(std::string* text) {
  char bytes[4096];
  DWORD count = 0;
  if (!ReadFile(Input(), bytes, sizeof bytes, &count, nullptr) || count == 0) return false;
  text->assign(bytes, count);
  return true;
}

bool Modifier(WORD key) {
  switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

// Waits up to `milliseconds` (-1: as long as it takes) for the next key
// pressed. Its character goes to key_bytes in UTF-8; a key without one
// (arrows, function keys) arrives whole as a single NUL byte.
bool ReadKeyPress(int milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(milliseconds, 0));
  std::u16string character;
  for (;;) {
    if (milliseconds >= 0) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline ||
          WaitForSingleObject(Input(), static_cast<DWORD>(deadline - now)) != WAIT_OBJECT_0) {
        return false;
      }
    }
    INPUT_RECORD record{};
    DWORD count = 0;
    if (!ReadConsoleInputW(Input(), &record, 1, &count)) return false;
    if (count == 1 && record.EventType == WINDOW_BUFFER_SIZE_EVENT) on_change();
    if (count == 0 || record.EventType != KEY_EVENT) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    if (!key.bKeyDown || Modifier(key.wVirtualKeyCode)) continue;
    const auto unit = static_cast<char16_t>(key.uChar.UnicodeChar);
    if (unit == 0) {
      key_bytes.assign(1, '\0');
      return true;
    }
    character.push_back(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF) continue;  // the other half follows
    key_bytes = utf16::ToUtf8(character);
    return true;
  }
}

bool NextKeyByte(unsigned char* byte, int milliseconds) {
  if (key_bytes.empty() && !ReadKeyPress(milliseconds)) return false;
  *byte = static_cast<unsigned char>(key_bytes.front());
  key_bytes.erase(0, 1);
  return true;
}

}  // namespace

bool OutputIsTerminal() { return IsConsole(Output()); }

bool InputIsTerminal() { return IsConsole(Input()); }

bool EscapesAllowed() { return escapes && OutputIsTerminal(); }

bool Size(unsigned short* columns, unsigned short* rows) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(Output(), &info)) return false;
  *columns = static_cast<unsigned short>(info.srWindow.Right - info.srWindow.Left + 1);
  *rows = static_cast<unsigned short>(info.srWindow.Bottom - info.srWindow.Top + 1);
  return true;
}

// Grows the window (and the buffer behind it, if need be) as far as the
// screen allows; never shrinks what the player has.
bool Resize(unsigned short columns, unsigned short rows) {
  const HANDLE out = Output();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(out, &info)) return false;
  const COORD largest = GetLargestConsoleWindowSize(out);
  const SHORT width = std::max<SHORT>(info.srWindow.Right - info.srWindow.Left + 1,
                                      std::min<SHORT>(static_cast<SHORT>(columns), largest.X));
  const SHORT height = std::max<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1,
                                       std::min<SHORT>(static_cast<SHORT>(rows), largest.Y));
  const COORD buffer{std::max(info.dwSize.X, width), std::max(info.dwSize.Y, height)};
  if (buffer.X != info.dwSize.X || buffer.Y != info.dwSize.Y) SetConsoleScreenBufferSize(out, buffer);
  SMALL_RECT window{};
  window.Left = std::min<SHORT>(info.srWindow.Left, static_cast<SHORT>(buffer.X - width));
  window.Top = std::min<SHORT>(info.srWindow.Top, static_cast<SHORT>(buffer.Y - height));
  window.Right = static_cast<SHORT>(window.Left + width - 1);
  window.Bottom = static_cast<SHORT>(window.Top + height - 1);
  SetConsoleWindowInfo(out, TRUE, &window);
  return true;
}

// Blanks the visible window only: the lines above it are the player's.
bool Clear(output_buffer* pending) {
  const HANDLE out = Output();
  if (!IsConsole(out)) return false;
  pending->pubsync();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(out, &info)) return false;
  const COORD top{0, info.srWindow.Top};
  const auto cells =
      static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.srWindow.Bottom - info.srWindow.Top + 1);
  DWORD done = 0;
  FillConsoleOutputCharacterW(out, L' ', cells, top, &done);
  FillConsoleOutputAttribute(out, info.wAttributes, cells, top, &done);
  SetConsoleCursorPosition(out, COORD{info.srWindow.Left, info.srWindow.Top});
  return true;
}

bool Write(const char* bytes, std::size_t count) {
  const HANDLE out = Output();
  if (!IsConsole(out)) return WriteToFile(out, bytes, count);
  std::string text = held_output;
  text.append(bytes, count);
  const std::size_t tail = utf16::IncompleteTail(text);
  held_output = text.substr(text.size() - tail);
  text.resize(text.size() - tail);
  return WriteToConsole(out, utf16::FromUtf8(text));
}

long Read(char* bytes, std::size_t capacity) {
  static text_mode::reader reader(InputIsTerminal());
  while (read_ahead.empty() && !input_over) {
    std::string text;
    if (InputIsTerminal() ? ReadConsoleText(&text) : ReadFileText(&text)) {
      reader.Take(text, &read_ahead);
      input_over = reader.ended();
    } else {
      reader.Finish(&read_ahead);
      input_over = true;
    }
  }
  const std::size_t count = std::min(capacity, read_ahead.size());
  std::memcpy(bytes, read_ahead.data(), count);
  read_ahead.erase(0, count);
  return static_cast<long>(count);
}

// The console's own key events need no change of mode: they come without
// echo, and Ctrl-C still reaches the control handler.
bool ReadKey(std::string* key) {
  if (!InputIsTerminal()) return true;  // no console to wait on
  const bool got_key = key_sequence::ReadKey(NextKeyByte, key);
  key_bytes.clear();  // the rest of a broken-off key is no answer to the next wait
  return got_key;
}

void TakeOver(output_buffer*, redraw redraw_screen) {
  on_change = redraw_screen;
  const HANDLE out = Output();
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    output_mode_found = mode;
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
      escapes = true;
    } else if (SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
      escapes = true;
      output_mode_changed = true;
    }
  }
  // Changes of size reach the key wait's events only when asked for.
  const HANDLE in = Input();
  if (GetConsoleMode(in, &mode) && (mode & ENABLE_WINDOW_INPUT) == 0 &&
      SetConsoleMode(in, mode | ENABLE_WINDOW_INPUT)) {
    input_mode_found = mode;
    input_mode_changed = true;
  }
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  previous_filter = SetUnhandledExceptionFilter(OnCrash);
  // Registered before the terminal module's own end, so it runs after it:
  // the alternate screen is left while escape sequences still work.
  std::atexit(PutBackAtExit);
}

void UseAlternateScreen(bool use) { alternate_screen = use; }

void PutBack() { PutBackNow(); }

}  // namespace terminal::backend
