#ifndef OSSIVAR_PLATFORM_LONG_RUN_H
#define OSSIVAR_PLATFORM_LONG_RUN_H

// What a tool's long run needs of the system: whether standard error is a
// terminal worth drawing progress on, and Ctrl-C taken as a request to stop
// and report rather than as the end of the process.
namespace long_run {

bool ErrorIsTerminal();

// From now on Ctrl-C only sets the flag Interrupted reads; Release puts the
// system's own handling back. Not nested.
void CatchInterrupt();
bool Interrupted();
void ReleaseInterrupt();

}  // namespace long_run

#endif
