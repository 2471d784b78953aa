#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/long_run.h"

namespace long_run {
namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread of its own; answering TRUE keeps the process alive.
BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  interrupted.store(true);
  return TRUE;
}

}  // namespace

bool ErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void CatchInterrupt() {
  interrupted.store(false);
  SetConsoleCtrlHandler(&OnControl, TRUE);
}

bool Interrupted() { return interrupted.load(); }

void ReleaseInterrupt() { SetConsoleCtrlHandler(&OnControl, FALSE); }

}  // namespace long_run
