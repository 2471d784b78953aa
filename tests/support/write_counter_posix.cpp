#include "support/write_counter.h"

// Following another program's system calls is Linux's ptrace; elsewhere
// the counter never attaches, and its test says so.
#if defined(__linux__)

#include <poll.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

namespace test_support {
namespace {

// A poll interrupted without a signal to handle (the counter's own stop)
// starts again as a call of its own that names no descriptor.
enum class call_kind { kOther, kAwaitInput, kResumedWait, kWriteOutput };

// The descriptor of the first entry of the program's pollfd array.
int FirstPolled(pid_t pid, std::uint64_t address) {
  errno = 0;
  const long word = ptrace(PTRACE_PEEKDATA, pid, address, nullptr);
  if (errno != 0) return -1;
  pollfd first{};
  static_assert(sizeof first <= sizeof word);
  std::memcpy(&first, &word, sizeof first);
  return first.fd;
}

// The program waits for the player in a poll on standard input without a
// time limit; its polls for the rest of a key have one.
bool AwaitsInput(pid_t pid, const __ptrace_syscall_info& info) {
  const auto& call = info.entry;
#if defined(SYS_poll)
  if (call.nr == SYS_poll && static_cast<int>(call.args[2]) < 0) return FirstPolled(pid, call.args[0]) == 0;
#endif
  if (call.nr == SYS_ppoll && call.args[2] == 0) return FirstPolled(pid, call.args[0]) == 0;
  return false;
}

// Only meaningful at a system call stop.
bool AtEntry(pid_t pid, call_kind* kind) {
  __ptrace_syscall_info info{};
  if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) return false;
  if (info.op != PTRACE_SYSCALL_INFO_ENTRY) return false;
  *kind = call_kind::kOther;
  if (AwaitsInput(pid, info)) *kind = call_kind::kAwaitInput;
  if (info.entry.nr == SYS_restart_syscall) *kind = call_kind::kResumedWait;
  if (info.entry.nr == SYS_write && info.entry.args[0] == 1) *kind = call_kind::kWriteOutput;
  return true;
}

}  // namespace

WriteCounter::WriteCounter(pid_t pid) : pid_(pid) {
  if (ptrace(PTRACE_SEIZE, pid_, nullptr, PTRACE_O_TRACESYSGOOD) != 0) {
    forbidden_ = errno == EPERM || errno == ENOSYS;
    return;
  }
  attached_ = true;
  // Stopped wherever it is (most likely waiting for input), then run up to
  // the start of such a wait: an interrupted wait starts again. A program
  // idle at a prompt has no other wait to resume.
  if (ptrace(PTRACE_INTERRUPT, pid_, nullptr, nullptr) != 0) return;
  int status = 0;
  if (waitpid(pid_, &status, __WALL) != pid_ || !WIFSTOPPED(status)) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline && NextStop(10.0)) {
    call_kind kind = call_kind::kOther;
    if (AtEntry(pid_, &kind) && (kind == call_kind::kAwaitInput || kind == call_kind::kResumedWait)) {
      holding_ = true;
      return;
    }
  }
}

WriteCounter::~WriteCounter() {
  if (attached_) ptrace(PTRACE_DETACH, pid_, nullptr, pending_signal_);
}

bool WriteCounter::NextStop(double timeout_seconds) {
  if (ptrace(PTRACE_SYSCALL, pid_, nullptr, pending_signal_) != 0) return false;
  pending_signal_ = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
  for (;;) {
    int status = 0;
    const pid_t waited = waitpid(pid_, &status, __WALL | WNOHANG);
    if (waited < 0 || (waited == pid_ && !WIFSTOPPED(status))) {
      attached_ = false;  // it has ended
      return false;
    }
    if (waited == pid_) {
      if (WSTOPSIG(status) == (SIGTRAP | 0x80)) return true;
      // A signal for the program, or a stop of another kind: pass it on.
      if (status >> 16 == 0) pending_signal_ = WSTOPSIG(status);
      if (ptrace(PTRACE_SYSCALL, pid_, nullptr, pending_signal_) != 0) return false;
      pending_signal_ = 0;
      continue;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

int WriteCounter::WritesUntilNextWait(double timeout_seconds) {
  if (!holding_) return -1;
  holding_ = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
  // The held wait's own end comes first.
  if (!NextStop(timeout_seconds)) return -1;
  int writes = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!NextStop(timeout_seconds)) return -1;
    call_kind kind = call_kind::kOther;
    if (!AtEntry(pid_, &kind)) continue;
    if (kind == call_kind::kWriteOutput) ++writes;
    if (kind == call_kind::kAwaitInput) {
      holding_ = true;
      return writes;
    }
  }
  return -1;
}

}  // namespace test_support

#else

namespace test_support {

WriteCounter::WriteCounter(pid_t pid) : pid_(pid) {}
// Nothing was attached; the fields only serve the Linux counter.
WriteCounter::~WriteCounter() { (void)pid_, (void)attached_, (void)pending_signal_; }
bool WriteCounter::NextStop(double) { return false; }
int WriteCounter::WritesUntilNextWait(double) { return -1; }

}  // namespace test_support

#endif
