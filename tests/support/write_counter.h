#ifndef OSSIVAR_TESTS_SUPPORT_WRITE_COUNTER_H
#define OSSIVAR_TESTS_SUPPORT_WRITE_COUNTER_H

#include <sys/types.h>

namespace test_support {

// Follows a running program's system calls (Linux ptrace) to count how many
// writes to standard output it makes between two waits for input: how many
// pieces one screen reaches the terminal in. Writes to other files, such as
// a sanitizer's own, do not count.
//
// While attached the program is held at the start of each wait; send its
// input (or change the terminal's size), then call WritesUntilNextWait. The
// destructor lets it run on.
class WriteCounter {
 public:
  // Whether this system lets a test follow another program's system calls.
#if defined(__linux__)
  static constexpr bool kAvailable = true;
#else
  static constexpr bool kAvailable = false;
#endif

  // Attaches and waits until the program is about to wait for input.
  explicit WriteCounter(pid_t pid);
  ~WriteCounter();
  WriteCounter(const WriteCounter&) = delete;
  WriteCounter& operator=(const WriteCounter&) = delete;

  // True while the program is held at the start of a wait for input.
  bool holding() const { return holding_; }
  // True where this system does not let a test follow its own children
  // (a container's seccomp rules, say): nothing can be counted there.
  bool forbidden() const { return forbidden_; }

  // Lets the held wait take place and the program run on until it is about
  // to wait again. The writes in between; -1 if it ends, takes longer than
  // the timeout or cannot be followed.
  int WritesUntilNextWait(double timeout_seconds = 10.0);

 private:
  // Runs the program to its next system call stop; false if it did not come.
  bool NextStop(double timeout_seconds);

  pid_t pid_;
  bool attached_ = false;
  bool holding_ = false;
  bool forbidden_ = false;
  int pending_signal_ = 0;
};

}  // namespace test_support

#endif
