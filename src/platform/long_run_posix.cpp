#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/long_run.h"

namespace long_run {
namespace {

// Lock-free, so the handler may set it.
std::atomic<bool> interrupted{false};
struct sigaction previous {};

void OnInterrupt(int) { interrupted.store(true); }

}  // namespace

bool ErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void CatchInterrupt() {
  interrupted.store(false);
  struct sigaction action {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);
}

bool Interrupted() { return interrupted.load(); }

void ReleaseInterrupt() { sigaction(SIGINT, &previous, nullptr); }

}  // namespace long_run
