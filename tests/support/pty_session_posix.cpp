#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
// Linux declares forkpty in <pty.h>, the BSDs and macOS in <util.h>.
#if __has_include(<pty.h>)
#include <pty.h>
#else
#include <util.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/pty_session.h"
#include "support/test_support.h"

extern char** environ;

namespace test_support {
namespace {

using Clock = std::chrono::steady_clock;

// Output still on its way through the terminal comes within this time.
constexpr int kQuietMilliseconds = 50;

Clock::time_point Deadline(double seconds) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// The child's environment: ours, with TERM replaced (or removed).
std::vector<std::string> ChildEnvironment(const std::string& term) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "TERM=", 5) != 0) environment.emplace_back(*entry);
  }
  if (!term.empty()) environment.push_back("TERM=" + term);
  return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The child's side of a PtySession, after the fork: everything it needs was
// made before, so it only calls what is safe there.
struct launch {
  const char* directory;
  char** argv;
  char** envp;
  const std::vector<int>* ignored_signals;
  int report;  // where the stand-in shell tells the program's pid
};

[[noreturn]] void RunProgram(const launch& how) {
  for (int signal_number : *how.ignored_signals) signal(signal_number, SIG_IGN);
  if (chdir(how.directory) != 0) _exit(126);
  execve(how.argv[0], how.argv, how.envp);
  _exit(127);
}

// The job's end passed on as the shell's own.
[[noreturn]] void EndAs(int status) {
  if (WIFSIGNALED(status)) {
    signal(WTERMSIG(status), SIG_DFL);
    kill(getpid(), WTERMSIG(status));
  }
  _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 125);
}

// What a shell does for a job: a process group of its own in the terminal's
// foreground, and the terminal back to the shell whenever the job stops.
// SIGUSR1 is `fg`: the terminal to the job, continued if it is stopped (a
// job running in the background, as after `bg`, gets no signal).
[[noreturn]] void RunUnderShell(const launch& how) {
  sigset_t shell_signals;
  sigset_t before;
  sigemptyset(&shell_signals);
  sigaddset(&shell_signals, SIGCHLD);
  sigaddset(&shell_signals, SIGUSR1);
  sigprocmask(SIG_BLOCK, &shell_signals, &before);
  // Else a group not in the foreground may not take the terminal.
  signal(SIGTTOU, SIG_IGN);
  const pid_t program = fork();
  if (program == 0) {
    sigprocmask(SIG_SETMASK, &before, nullptr);
    setpgid(0, 0);
    tcsetpgrp(STDIN_FILENO, getpid());
    signal(SIGTTOU, SIG_DFL);
    RunProgram(how);
  }
  if (program < 0) _exit(125);
  setpgid(program, program);
  if (write(how.report, &program, sizeof program) != sizeof program) _exit(125);
  close(how.report);
  bool stopped = false;
  for (;;) {
    int signal_number = 0;
    if (sigwait(&shell_signals, &signal_number) != 0) _exit(125);
    // What became of the job first: its stop may not have been taken yet.
    int status = 0;
    while (waitpid(program, &status, WNOHANG | WUNTRACED | WCONTINUED) == program) {
      if (!WIFSTOPPED(status) && !WIFCONTINUED(status)) EndAs(status);
      stopped = WIFSTOPPED(status);
      if (stopped) tcsetpgrp(STDIN_FILENO, getpgrp());
    }
    if (signal_number == SIGUSR1) {
      tcsetpgrp(STDIN_FILENO, program);
      if (stopped) kill(-program, SIGCONT);
    }
  }
}

// The program's pid as the stand-in shell reports it; -1 when none comes.
pid_t ReadReportedPid(int report) {
  pollfd descriptor{report, POLLIN, 0};
  pid_t program = -1;
  if (poll(&descriptor, 1, 10000) != 1 || read(report, &program, sizeof program) != sizeof program) return -1;
  return program;
}

// The state letter of /proc/PID/stat ('S' sleeping, 'T' stopped, ...);
// where there is no /proc (macOS, the BSDs), what ps says.
char ProcState(pid_t pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const std::string::size_type end_of_name = stat.rfind(')');
  if (end_of_name != std::string::npos && end_of_name + 2 < stat.size()) return stat[end_of_name + 2];
  const std::string command = "ps -o state= -p " + std::to_string(pid);
  FILE* ps = popen(command.c_str(), "r");
  if (ps == nullptr) return '?';
  char state[8] = {};
  const bool read = std::fgets(state, sizeof state, ps) != nullptr;
  pclose(ps);
  return read ? state[0] : '?';
}

}  // namespace

// --- PtySession ---

PtySession::PtySession(const std::string& working_directory, const PtyOptions& options) {
  // Everything the child needs is made before the fork: after it the child
  // only changes directory and execs.
  std::vector<std::string> arguments{options.program};
  std::vector<std::string> environment = ChildEnvironment(options.term);
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(environment);
  int report[2] = {-1, -1};
  if (options.job_control && pipe(report) != 0) return;
  const launch how{working_directory.c_str(), argv.data(), envp.data(), &options.ignored_signals, report[1]};

  winsize size{};
  size.ws_col = options.columns;
  size.ws_row = options.rows;
  pid_ = forkpty(&master_, nullptr, nullptr, &size);
  if (pid_ == 0) {
    if (!options.job_control) RunProgram(how);
    close(report[0]);
    RunUnderShell(how);
  }
  if (pid_ < 0) master_ = -1;
  program_ = pid_;
  if (options.job_control) {
    close(report[1]);
    if (pid_ > 0) program_ = ReadReportedPid(report[0]);
    close(report[0]);
  }
}

PtySession::~PtySession() {
  if (pid_ > 0 && !exited_) {
    if (program_ > 0 && program_ != pid_) kill(program_, SIGKILL);
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

void PtySession::Send(const std::string& text) {
  std::string::size_type sent = 0;
  while (master_ >= 0 && sent < text.size()) {
    const ssize_t count = write(master_, text.data() + sent, text.size() - sent);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    sent += static_cast<std::string::size_type>(count);
  }
}

void PtySession::SendEof() { Send("\x04"); }

bool PtySession::ReadSome(int timeout_ms) {
  if (master_ < 0) return false;
  pollfd descriptor{master_, POLLIN, 0};
  if (poll(&descriptor, 1, timeout_ms) <= 0) return false;
  char buffer[4096];
  const ssize_t count = read(master_, buffer, sizeof buffer);
  if (count <= 0) {
    // The program has gone and closed its side; there is nothing more.
    if (timeout_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeout_ms, 10)));
    return false;
  }
  output_.append(buffer, static_cast<std::string::size_type>(count));
  return true;
}

bool PtySession::ReadUntil(double timeout_seconds, const std::function<bool()>& done) {
  const auto deadline = Deadline(timeout_seconds);
  for (;;) {
    if (done()) return true;
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    ReadSome(std::min(left, 10));
  }
}

bool PtySession::WaitFor(const std::string& text, double timeout_seconds) {
  return ReadUntil(timeout_seconds, [&] { return Screen().find(text) != std::string::npos; });
}

void PtySession::Drain(double seconds) {
  const auto deadline = Deadline(seconds);
  for (int left = MillisecondsLeft(deadline); left > 0; left = MillisecondsLeft(deadline)) ReadSome(left);
}

std::string PtySession::Screen() const { return Normalise(output_); }

bool PtySession::WaitExit(double timeout_seconds, int* status) {
  if (pid_ <= 0) return false;
  int child_status = 0;
  const auto ended = [&] { return waitpid(pid_, &child_status, WNOHANG) == pid_; };
  // Reading meanwhile, so a program with more to print is not blocked.
  if (!ReadUntil(timeout_seconds, ended)) return false;
  exited_ = true;
  while (ReadSome(kQuietMilliseconds)) {
  }
  if (status != nullptr) *status = child_status;
  return true;
}

bool PtySession::Settings(termios* settings) {
  if (slave_ < 0 && master_ >= 0) {
    const char* name = ptsname(master_);
    if (name != nullptr) slave_ = open(name, O_RDWR | O_NOCTTY);
  }
  return slave_ >= 0 && tcgetattr(slave_, settings) == 0;
}

bool PtySession::WaitStopped(double timeout_seconds) {
  return ReadUntil(timeout_seconds, [&] { return program_ > 0 && ProcState(program_) == 'T'; });
}

bool PtySession::WaitContinued(double timeout_seconds) {
  return ReadUntil(timeout_seconds, [&] {
    const char state = program_ > 0 ? ProcState(program_) : 'T';
    return state != 'T' && state != '?';
  });
}

void PtySession::Foreground() {
  if (pid_ > 0 && program_ != pid_) kill(pid_, SIGUSR1);
}

void PtySession::Background() {
  if (program_ > 0) kill(-program_, SIGCONT);
}

void PtySession::Resize(unsigned short columns, unsigned short rows) {
  winsize size{};
  size.ws_col = columns;
  size.ws_row = rows;
  if (master_ >= 0) ioctl(master_, TIOCSWINSZ, &size);
}

bool PtySession::WaitForKeyWait(double timeout_seconds) {
  const auto in_key_wait = [&] {
    termios settings{};
    return Settings(&settings) && (settings.c_lflag & (ICANON | ECHO)) == 0;
  };
  if (!ReadUntil(timeout_seconds, in_key_wait)) return false;
  // The program wrote its screen before switching; let that arrive.
  while (ReadSome(kQuietMilliseconds)) {
  }
  return true;
}

bool ExitedWith(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

bool LineModeWithEcho(PtySession& session) {
  termios settings{};
  return session.Settings(&settings) && (settings.c_lflag & ICANON) != 0 && (settings.c_lflag & ECHO) != 0 &&
         (settings.c_lflag & ISIG) != 0;
}

}  // namespace test_support
