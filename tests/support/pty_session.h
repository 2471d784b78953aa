#ifndef OSSIVAR_TESTS_SUPPORT_PTY_SESSION_H
#define OSSIVAR_TESTS_SUPPORT_PTY_SESSION_H

// The real game binary on a POSIX pseudo-terminal, as a player runs it.
// Only the tests that need a terminal's own behaviour (modes, signals, job
// control, the writes that reach it) use it; they are built on POSIX
// systems only.

#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_support.h"  // TempDir, Normalise: what a session's test uses besides

namespace test_support {

struct PtyOptions {
  std::string program = OSSIVAR_BINARY;
  std::string term = "dumb";  // empty: TERM is removed from the environment
  unsigned short columns = 80;
  unsigned short rows = 24;
  std::vector<int> ignored_signals;  // ignored when the program starts, as nohup does
  // Runs the program in a process group of its own in the foreground of the
  // terminal, under a stand-in for the shell, so that it can be stopped, and
  // continued in the foreground or the background.
  bool job_control = false;
};

// A program running on a pseudo-terminal, as a player would run it. Every
// wait is bounded so a hang fails the test rather than stalling it. The
// destructor kills the program if it still runs.
//
// The terminal echoes what is sent and turns "\n" into "\r\n" on output;
// WaitFor and Screen() see the output with "\r\n" turned back into "\n".
class PtySession {
 public:
  explicit PtySession(const std::string& working_directory, const PtyOptions& options = {});
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  bool started() const { return pid_ > 0 && program_ > 0; }
  // The program's process, which leads its process group.
  pid_t pid() const { return program_; }

  void Send(const std::string& text);
  // Ctrl-D: end of input at the start of a line, or during a key wait.
  void SendEof();

  // Reads until the (normalised) output contains `text`; false on timeout.
  bool WaitFor(const std::string& text, double timeout_seconds);
  // Reads whatever arrives during the given time.
  void Drain(double seconds);

  std::string Output() const { return output_; }  // raw, as the terminal got it
  std::string Screen() const;                     // "\r\n" normalised to "\n"
  void ClearOutput() { output_.clear(); }

  // Waits for the program to end; `status` is waitpid's. False on timeout.
  bool WaitExit(double timeout_seconds, int* status);

  // The terminal's current settings, read from its own side. The first call
  // opens and keeps that side, so the settings stay readable after the
  // program has ended.
  bool Settings(termios* settings);

  // Waits until the program is stopped (job control); false on timeout.
  // The stand-in shell then has the terminal, as a shell takes it back.
  bool WaitStopped(double timeout_seconds);
  // Waits until the program runs again; false on timeout.
  bool WaitContinued(double timeout_seconds);
  // A stopped program continued as the shell's `fg` does it (the terminal
  // given to it first) and as `bg` does it (the terminal left to the shell).
  void Foreground();
  void Background();

  // Changes the terminal's size, as a window resized: the terminal tells
  // the processes in its foreground with SIGWINCH.
  void Resize(unsigned short columns, unsigned short rows);

  // Waits until the program has put the terminal into its key-wait mode
  // (no line editing, no echo), so a key sent next is read as that key.
  // The screen written before the wait has been read when it returns.
  bool WaitForKeyWait(double timeout_seconds);

 private:
  // Reads what is there within `timeout_ms`; false when nothing came.
  bool ReadSome(int timeout_ms);
  // Reads what arrives until `done` holds; false when the time ran out first.
  bool ReadUntil(double timeout_seconds, const std::function<bool()>& done);

  pid_t pid_ = -1;  // what we wait for: the program, or the stand-in shell
  pid_t program_ = -1;
  int master_ = -1;
  int slave_ = -1;
  bool exited_ = false;
  std::string output_;
};

// The end of the title screen: its prompt.
inline const std::string kTitlePrompt = "[Q]uit\n" + std::string(32, ' ');

// Whether waitpid's `status` is a normal exit with `code`.
bool ExitedWith(int status, int code);

// Whether the terminal is in the mode a shell leaves it in: whole lines,
// echoed, with the signal keys working.
bool LineModeWithEcho(PtySession& session);

}  // namespace test_support

#endif
