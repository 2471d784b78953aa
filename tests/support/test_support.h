#ifndef OSSIVAR_TESTS_SUPPORT_TEST_SUPPORT_H
#define OSSIVAR_TESTS_SUPPORT_TEST_SUPPORT_H

// Helpers shared by the test executables.
//
//   ConsoleCapture  runs screen code in memory: scripted input, captured output.
//   TempDir         a fresh directory to run in, removed afterwards.
//   PtySession      runs the real game binary on a pseudo-terminal.
//   InstallInto     installs the game as a player would.

#include <sys/types.h>
#include <termios.h>

#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/input.h"

namespace test_support {

// Thrown by the end-of-input handler ConsoleCapture installs, so a test whose
// scripted input runs out fails instead of ending the test process.
struct EndOfInput : std::runtime_error {
  EndOfInput() : std::runtime_error("scripted input ran out") {}
};

// While alive, std::cin reads `input` and std::cout writes into memory.
// Screens drawn meanwhile contain no escape sequences and key waits return
// at once (the terminal module sees the swapped buffers).
class ConsoleCapture {
 public:
  explicit ConsoleCapture(const std::string& input = "");
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  // Everything written to std::cout so far.
  std::string Output() const;

 private:
  std::istringstream input_;
  std::ostringstream output_;
  std::streambuf* saved_cin_;
  std::streambuf* saved_cout_;
  input::EndOfInputHandler saved_handler_;
};

// A fresh directory under /tmp, removed with all its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  // Creates data/ inside and copies the repository's "data/Core Data.tov"
  // into it. False (data/ still made) when the source file does not exist.
  bool CopyCoreData() const;

 private:
  std::string path_;
};

struct PtyOptions {
  std::string program = OSSIVAR_BINARY;
  std::string term = "dumb";  // empty: TERM is removed from the environment
  unsigned short columns = 80;
  unsigned short rows = 24;
  std::vector<int> ignored_signals;  // ignored when the program starts, as nohup does
  // Runs the program in a process group of its own in the foreground of the
  // terminal, under a stand-in for the shell, so that it can be stopped.
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

  std::string Output() const { return output_; }     // raw, as the terminal got it
  std::string Screen() const;                         // "\r\n" normalised to "\n"
  void ClearOutput() { output_.clear(); }

  // Waits for the program to end; `status` is waitpid's. False on timeout.
  bool WaitExit(double timeout_seconds, int* status);

  // The terminal's current settings, read from its own side. The first call
  // opens and keeps that side, so the settings stay readable after the
  // program has ended.
  bool Settings(termios* settings);

  // Waits until the program is stopped (job control); false on timeout.
  bool WaitStopped(double timeout_seconds);

  // Waits until the program has put the terminal into its key-wait mode
  // (no line editing, no echo), so a key sent next is read as that key.
  // The screen written before the wait has been read when it returns.
  bool WaitForKeyWait(double timeout_seconds);

 private:
  // Reads what is there within `timeout_ms`; false when nothing came.
  bool ReadSome(int timeout_ms);

  pid_t pid_ = -1;      // what we wait for: the program, or the stand-in shell
  pid_t program_ = -1;
  int master_ = -1;
  int slave_ = -1;
  bool exited_ = false;
  std::string output_;
};

// Installs the build these tests belong to under `prefix`, as
// `cmake --install` does for a player. On failure `log` holds what it said.
bool InstallInto(const std::string& prefix, std::string* log);

// "\r\n" turned into "\n".
std::string Normalise(const std::string& text);

// A whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// What a record or value writes to a file (any stream but std::cout).
template <typename T>
std::string FileForm(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

// What it writes to the console (std::cout itself).
template <typename T>
std::string ConsoleForm(const T& value) {
  ConsoleCapture capture;
  std::cout << value;
  return capture.Output();
}

}  // namespace test_support

#endif
