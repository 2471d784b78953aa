#include "platform/terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/input.h"

namespace terminal {
namespace {

// Taken at static initialisation, before any test can swap them.
std::streambuf* const original_cout_buffer = std::cout.rdbuf();
std::streambuf* const original_cin_buffer = std::cin.rdbuf();

constexpr unsigned short kWantedColumns = 80;
constexpr unsigned short kWantedRows = 24;
constexpr unsigned char kEscape = 0x1b;
constexpr unsigned char kCtrlD = 0x04;

// What a key wait found before it changed the terminal; the signal handlers
// read it, hence the flag is a sig_atomic_t.
termios saved_settings;
volatile std::sig_atomic_t settings_changed = 0;

// Ctrl-C and Ctrl-\ during a wait, and being told to end or losing the
// terminal.
constexpr int kEndingSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
constexpr int kSignalCount = sizeof(kEndingSignals) / sizeof(kEndingSignals[0]);
struct sigaction previous_actions[kSignalCount];

// Only async-signal-safe calls here: put the terminal back, then die of
// the same signal so the parent sees the real cause.
void RestoreAndReraise(int signal_number) {
  if (settings_changed != 0) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
    settings_changed = 0;
  }
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal_number, &default_action, nullptr);
  raise(signal_number);  // delivered once this handler returns
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = RestoreAndReraise;
  sigemptyset(&action.sa_mask);
  for (int signal_number : kEndingSignals) sigaddset(&action.sa_mask, signal_number);
  for (int i = 0; i < kSignalCount; ++i) sigaction(kEndingSignals[i], &action, &previous_actions[i]);
}

void RemoveSignalHandlers() {
  for (int i = 0; i < kSignalCount; ++i) sigaction(kEndingSignals[i], &previous_actions[i], nullptr);
}

// Arrow and function keys send several bytes, and so do non-ASCII letters;
// what is already waiting of them is dropped so it cannot land in the next
// prompt as typed text.
void DropRestOfKey(unsigned char first_byte) {
  if (first_byte != kEscape && first_byte < 0xC0) return;
  termios settings;
  if (tcgetattr(STDIN_FILENO, &settings) != 0) return;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &settings) != 0) return;
  unsigned char rest[32];
  while (read(STDIN_FILENO, rest, sizeof rest) > 0) {
  }
}

// False at end of input: a closed terminal or Ctrl-D.
bool ReadOneKey() {
  unsigned char byte = 0;
  ssize_t count = 0;
  do {
    count = read(STDIN_FILENO, &byte, 1);
  } while (count < 0 && errno == EINTR);
  if (count != 1 || byte == kCtrlD) return false;
  DropRestOfKey(byte);
  return true;
}

// False when the size is unknown (no terminal, or a reported 0).
bool CurrentSize(unsigned short* columns, unsigned short* rows) {
  winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return false;
  if (size.ws_col == 0 || size.ws_row == 0) return false;
  *columns = size.ws_col;
  *rows = size.ws_row;
  return true;
}

bool TooSmall(unsigned short columns, unsigned short rows) {
  return columns < kWantedColumns || rows < kWantedRows;
}

// A terminal that honours the resize request does so a moment later; give
// it that moment before judging its size.
void AwaitResize() {
  const timespec step {0, 20 * 1000 * 1000};
  for (int tries = 0; tries < 10; ++tries) {
    unsigned short columns = 0;
    unsigned short rows = 0;
    if (!CurrentSize(&columns, &rows) || !TooSmall(columns, rows)) return;
    nanosleep(&step, nullptr);
  }
}

void ShowSizeNotice(unsigned short columns, unsigned short rows) {
  Clear();
  std::cout << "\n\tOSSIVAR needs a console of " << kWantedColumns << " columns by " << kWantedRows
            << " lines.\n\tThis one is " << columns << " by " << rows
            << ".\n\n\tEnlarge it if you can, then press a key.\n";
  WaitKey();
}

}  // namespace

bool StdoutIsTerminal() {
  return std::cout.rdbuf() == original_cout_buffer && isatty(STDOUT_FILENO) == 1;
}

bool StdinIsTerminal() {
  return std::cin.rdbuf() == original_cin_buffer && isatty(STDIN_FILENO) == 1;
}

bool EscapesAllowed() {
  const char* term = std::getenv("TERM");
  return term != nullptr && term[0] != '\0' && std::strcmp(term, "dumb") != 0;
}

void Clear() {
  if (!StdoutIsTerminal()) return;
  std::cout << (EscapesAllowed() ? "\x1b[H\x1b[2J\x1b[3J" : "\n") << std::flush;
}

void SizeConsole() {
  if (!StdoutIsTerminal()) return;
  if (EscapesAllowed()) {
    std::cout << "\x1b[8;" << kWantedRows << ';' << kWantedColumns << 't' << std::flush;
    AwaitResize();
  }
  unsigned short columns = 0;
  unsigned short rows = 0;
  if (CurrentSize(&columns, &rows) && TooSmall(columns, rows)) ShowSizeNotice(columns, rows);
}

void WaitKey() {
  std::cout.flush();
  if (!StdinIsTerminal()) return;
  termios settings;
  if (tcgetattr(STDIN_FILENO, &settings) != 0) return;
  saved_settings = settings;
  std::atomic_signal_fence(std::memory_order_seq_cst);  // saved before a handler can look
  InstallSignalHandlers();
  settings_changed = 1;
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &settings);
  const bool got_key = ReadOneKey();
  RestoreSettings();
  RemoveSignalHandlers();
  if (!got_key) input::EndOfInput();
}

void RestoreSettings() {
  if (settings_changed == 0) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
  settings_changed = 0;
}

}  // namespace terminal
