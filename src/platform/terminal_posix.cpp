// The terminal on POSIX systems: termios for the key wait, the signals that
// end, stop, continue the program or tell it the terminal's size changed,
// and plain reads and writes of fds 0 and 1.

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/key_sequence.h"
#include "platform/terminal_backend.h"

namespace terminal::backend {
namespace {

constexpr unsigned char kCtrlD = 0x04;

// A shell's `fg` continues a job only if it is stopped: one running in the
// background after `bg` is handed the terminal without a word, so a wait
// in the background looks this often whether it has it yet.
constexpr int kForegroundCheckMilliseconds = 100;

// Shared with the signal handlers, hence sig_atomic_t flags: the settings
// in `before_key_wait` hold only while `in_key_wait` is set, the screen is
// drawn again by a wait only while `waiting` is set, and `handed_back`
// says a stop gave the terminal to the shell and it is not yet taken again.
termios before_key_wait;
volatile std::sig_atomic_t in_key_wait = 0;
volatile std::sig_atomic_t alternate_screen = 0;
volatile std::sig_atomic_t waiting = 0;
volatile std::sig_atomic_t handed_back = 0;
volatile std::sig_atomic_t redraw_wanted = 0;
output_buffer* screen = nullptr;
redraw on_change = nullptr;

// A handler writes a byte here to wake a wait already asleep in poll; the
// flag alone could come just before the wait begins and be missed.
int wake_pipe[2] = {-1, -1};

// Ctrl-C and Ctrl-\, being told to end, losing the terminal.
constexpr int kEndingSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
// A crash or an abort, std::terminate's included.
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// What was there before; SIGTSTP's is restored around each stop.
struct sigaction previous_actions[NSIG];

void Fence() { std::atomic_signal_fence(std::memory_order_seq_cst); }

// Holds off the handled signals while the terminal's settings and the flags
// that describe them change together.
class signals_held {
 public:
  signals_held() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal_number : kEndingSignals) sigaddset(&held, signal_number);
    sigaddset(&held, SIGTSTP);
    sigaddset(&held, SIGCONT);
    sigprocmask(SIG_BLOCK, &held, &before_);
  }
  ~signals_held() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  signals_held(const signals_held&) = delete;
  signals_held& operator=(const signals_held&) = delete;

 private:
  sigset_t before_;
};

// Async-signal-safe: all of the text or as much as the terminal takes.
bool WriteAll(const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(STDOUT_FILENO, bytes, count);
    if (written > 0) {
      bytes += written;
      count -= static_cast<std::size_t>(written);
    } else if (written < 0 && errno == EAGAIN) {
      pollfd output{STDOUT_FILENO, POLLOUT, 0};
      poll(&output, 1, -1);
    } else if (written == 0 || errno != EINTR) {
      return false;
    }
  }
  return true;
}

void WriteText(const char* text) { WriteAll(text, std::strlen(text)); }

// The key-wait mode on top of `settings`: one byte at a time, no echo.
// Ctrl-C, Ctrl-\ and Ctrl-Z still send their signals.
void ApplyKeyWait(termios settings) {
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &settings);
}

// Async-signal-safe. Leaves the flags alone, so a continued game knows what
// to take back.
void PutBackNow() {
  if (in_key_wait != 0) tcsetattr(STDIN_FILENO, TCSANOW, &before_key_wait);
  if (alternate_screen != 0) WriteText(kLeaveAlternateScreen);
}

// Async-signal-safe. A job continued with `bg` is not in the foreground:
// its output would land on the shell's screen, and its reads would stop it
// (the shell gets the keys meanwhile). A file or a pipe is no one's.
bool Foreground(int descriptor = STDOUT_FILENO) {
  const pid_t group = tcgetpgrp(descriptor);
  return group == -1 || group == getpgrp();
}

// Async-signal-safe: the flag for a wait about to begin, the byte for one
// asleep. A full pipe wakes the wait just as well, hence no check.
void WantRedraw() {
  redraw_wanted = 1;
  const char byte = 0;
  [[maybe_unused]] const ssize_t ignored = write(wake_pipe[1], &byte, 1);
}

void EmptyWakePipe() {
  char bytes[64];
  while (read(wake_pipe[0], bytes, sizeof bytes) > 0) {
  }
}

// After a stop, once the game is in the foreground again: the shell has put
// its own settings back, they are what the key wait restores later, and the
// screen is drawn again, by the wait, as its size now allows.
void TakeBackNow() {
  if (handed_back == 0 || !Foreground()) return;
  handed_back = 0;
  if (alternate_screen != 0) {
    WriteText(kEnterAlternateScreen);
    if (waiting != 0) {
      WantRedraw();
    } else {
      screen->RedrawOnNextFlush();
    }
  }
  if (in_key_wait != 0 && tcgetattr(STDIN_FILENO, &before_key_wait) == 0) ApplyKeyWait(before_key_wait);
}

void Install(int signal_number, void (*handler)(int, siginfo_t*, void*)) {
  struct sigaction current {};
  sigaction(signal_number, nullptr, &current);
  if (current.sa_handler == SIG_IGN) return;  // nohup and the like are respected
  previous_actions[signal_number] = current;
  struct sigaction action {};
  action.sa_sigaction = handler;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int other : kEndingSignals) sigaddset(&action.sa_mask, other);
  sigaddset(&action.sa_mask, SIGTSTP);
  sigaddset(&action.sa_mask, SIGCONT);
  sigaction(signal_number, &action, nullptr);
}

// Dies of the same signal afterwards, so the parent sees the real cause.
void OnEndingSignal(int signal_number, siginfo_t*, void*) {
  PutBackNow();
  sigaction(signal_number, &previous_actions[signal_number], nullptr);
  raise(signal_number);  // delivered once this handler returns
}

// A fault raised by the processor comes back by itself when the faulting
// instruction runs again, now under the previous handler (a sanitizer's
// report, or the default core dump); one sent by a process is sent again.
void OnFatalSignal(int signal_number, siginfo_t* info, void*) {
  PutBackNow();
  sigaction(signal_number, &previous_actions[signal_number], nullptr);
  if (info == nullptr || info->si_code <= 0 || signal_number == SIGABRT) raise(signal_number);
}

// Ctrl-Z: hand the terminal back, stop, and take it again on `fg`.
void OnStop(int, siginfo_t*, void*) {
  const int saved_errno = errno;
  PutBackNow();
  handed_back = 1;
  struct sigaction ours {};
  sigaction(SIGTSTP, &previous_actions[SIGTSTP], &ours);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  raise(SIGTSTP);  // the process stops here until continued
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  sigaction(SIGTSTP, &ours, nullptr);
  TakeBackNow();
  errno = saved_errno;
}

// `fg` after `bg`, when the shell sends it: the continue that finally gives
// the game its terminal.
void OnContinue(int, siginfo_t*, void*) {
  const int saved_errno = errno;
  TakeBackNow();
  errno = saved_errno;
}

void OnResize(int, siginfo_t*, void*) {
  const int saved_errno = errno;
  WantRedraw();
  errno = saved_errno;
}

// Until standard input has something to read (or has ended), drawing the
// screen again whenever a handler asked for it, here where that is safe.
void AwaitInput() {
  for (;;) {
    // poll passes over a negative descriptor.
    const bool background = !Foreground(STDIN_FILENO);
    pollfd waits[2] = {{background ? -1 : STDIN_FILENO, POLLIN, 0}, {wake_pipe[0], POLLIN, 0}};
    const int ready = poll(waits, 2, background ? kForegroundCheckMilliseconds : -1);
    if (ready < 0 && errno != EINTR) return;  // the read that follows reports it
    if (handed_back != 0) {
      signals_held held;
      TakeBackNow();
    }
    if (ready > 0 && (waits[1].revents & POLLIN) != 0) EmptyWakePipe();
    if (redraw_wanted != 0 && Foreground()) {
      redraw_wanted = 0;
      on_change();
    }
    if (ready > 0 && waits[0].revents != 0) return;
  }
}

bool MakeWakePipe() {
  if (pipe(wake_pipe) != 0) return false;
  for (int end : wake_pipe) {
    fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
  return true;
}

// False at the end of input or on failure.
bool ReadByte(unsigned char* byte) {
  ssize_t count = 0;
  do {
    count = read(STDIN_FILENO, byte, 1);
  } while (count < 0 && errno == EINTR);
  return count == 1;
}

// True when another byte is there within `milliseconds`.
bool ByteArrives(int milliseconds) {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  int ready = 0;
  do {
    ready = poll(&input, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (input.revents & POLLIN) != 0;
}

bool NextByte(unsigned char* byte, int milliseconds) {
  if (milliseconds < 0) {
    AwaitInput();
  } else if (!ByteArrives(milliseconds)) {
    return false;
  }
  return ReadByte(byte);
}

// Ctrl-D in the key-wait mode is the end of input, as it is at a prompt.
bool ReadWholeKey(std::string* key) {
  return key_sequence::ReadKey(NextByte, key) && *key != std::string(1, static_cast<char>(kCtrlD));
}

}  // namespace

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

// Terminals are told apart only by TERM; without one (or "dumb") nothing
// is known to understand escape sequences.
bool EscapesAllowed() {
  const char* term = std::getenv("TERM");
  return term != nullptr && term[0] != '\0' && std::strcmp(term, "dumb") != 0;
}

// A terminal is only asked for a size through escape sequences.
bool Resize(unsigned short, unsigned short) { return false; }

// Nothing but escape sequences clears a terminal.
bool Clear(output_buffer*) { return false; }

bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool Size(unsigned short* columns, unsigned short* rows) {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return false;
  if (size.ws_col == 0 || size.ws_row == 0) return false;
  *columns = size.ws_col;
  *rows = size.ws_row;
  return true;
}

bool Write(const char* bytes, std::size_t count) { return WriteAll(bytes, count); }

long Read(char* bytes, std::size_t capacity) {
  ssize_t count = 0;
  waiting = 1;
  Fence();
  do {
    AwaitInput();
    count = read(STDIN_FILENO, bytes, capacity);
  } while (count < 0 && errno == EINTR);
  Fence();
  waiting = 0;
  return static_cast<long>(count);
}

bool ReadKey(std::string* key) {
  {
    signals_held held;
    if (tcgetattr(STDIN_FILENO, &before_key_wait) != 0) return true;  // no terminal to wait on
    in_key_wait = 1;
    ApplyKeyWait(before_key_wait);
    waiting = 1;
  }
  const bool got_key = ReadWholeKey(key);
  signals_held held;
  waiting = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &before_key_wait);
  in_key_wait = 0;
  return got_key;
}

void TakeOver(output_buffer* drawn, redraw redraw_screen) {
  screen = drawn;
  on_change = redraw_screen;
  for (int signal_number : kEndingSignals) Install(signal_number, OnEndingSignal);
  for (int signal_number : kFatalSignals) Install(signal_number, OnFatalSignal);
  Install(SIGTSTP, OnStop);
  Install(SIGCONT, OnContinue);
  // Without a way to wake the waits the screen is only drawn anew with the
  // next one; the game itself goes on as before.
  if (MakeWakePipe()) Install(SIGWINCH, OnResize);
}

void UseAlternateScreen(bool use) {
  Fence();
  alternate_screen = use ? 1 : 0;
}

void PutBack() {
  PutBackNow();
  in_key_wait = 0;
  alternate_screen = 0;
}

}  // namespace terminal::backend
