// How the game treats the player's terminal, seen from the terminal's side:
// the built game on a pseudo-terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
// Linux declares openpty in <pty.h>, the BSDs and macOS in <util.h>.
#if __has_include(<pty.h>)
#include <pty.h>
#else
#include <util.h>
#endif

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/terminal.h"
#include "support/pty_session.h"
#include "support/test_support.h"
#include "support/write_counter.h"

namespace {

using test_support::ExitedWith;
using test_support::kTitlePrompt;
using test_support::LineModeWithEcho;
using test_support::PtyOptions;
using test_support::PtySession;
using test_support::TempDir;

constexpr double kTimeout = 10.0;
const std::string kEnter = "\x1b[?1049h";
const std::string kLeave = "\x1b[?1049l";
const std::string kClear = "\x1b[H\x1b[2J";

std::unique_ptr<PtySession> StartAtTitle(const TempDir& dir, const PtyOptions& options) {
  auto session = std::make_unique<PtySession>(dir.path(), options);
  EXPECT_TRUE(session->started());
  EXPECT_TRUE(session->WaitFor(kTitlePrompt, kTimeout)) << session->Screen();
  return session;
}

// Quits at the title; returns once the farewell waits for its key.
void GoToFarewellKeyWait(PtySession& session) {
  session.Send("q\n");
  ASSERT_TRUE(session.WaitFor("vanquished.", kTimeout)) << session.Screen();
  ASSERT_TRUE(session.WaitForKeyWait(kTimeout));
}

TEST(TerminalTest, EachScreenReachesTheTerminalWhole) {
  if (!test_support::WriteCounter::kAvailable) GTEST_SKIP() << "counting a program's writes needs Linux's ptrace";
  TempDir dir;
  ASSERT_TRUE(dir.CopyCoreData());
  PtyOptions options;
  options.term = "xterm";
  auto session = StartAtTitle(dir, options);
  test_support::WriteCounter counter(session->pid());
  if (counter.forbidden()) GTEST_SKIP() << "this system does not let a test trace its own child";
  ASSERT_TRUE(counter.holding()) << "the program's system calls cannot be followed";
  struct step {
    std::string send;
    std::string shown;  // the end of what comes back
  };
  const std::vector<step> steps = {{"x\n", kTitlePrompt},     {"n\n", "Who are you?" + std::string(11, '\n')},
                                   {"k", "name?\n\t  "},      {"Tamsin\n", "1) Female\n\t  "},
                                   {"f\n", "6) Skink\n\t  "}, {"0\n", "1) Yes.\n\t  "},
                                   {"1\n", "Custom\n\t  "}};
  for (const step& s : steps) {
    session->ClearOutput();
    session->Send(s.send);
    const int writes = counter.WritesUntilNextWait();
    EXPECT_GE(writes, 1) << s.send;
    // The race preview is flushed before its question, hence up to two.
    EXPECT_LE(writes, 2) << s.send;
    ASSERT_TRUE(session->WaitFor(s.shown, kTimeout)) << s.send << session->Screen();
    EXPECT_EQ(session->Output().find("\x1b[3J"), std::string::npos) << "the scrollback is the player's";
  }
}

// One way for the game to end, and where it is when it happens.
struct way_out {
  const char* name;
  bool in_key_wait;  // else at the title's prompt
  std::string keys;  // typed; empty: `signal_number` is sent by another process
  int signal_number;
  int ends_with;  // the signal the game dies of; 0 for a normal exit with status 0
};

std::ostream& operator<<(std::ostream& out, const way_out& way) { return out << way.name; }

class WayOutTest : public ::testing::TestWithParam<way_out> {};

TEST_P(WayOutTest, PutsThePlayersTerminalBack) {
  const way_out& way = GetParam();
  for (const std::string term : {"xterm", "dumb", ""}) {
    TempDir dir;
    PtyOptions options;
    options.term = term;
    auto session = StartAtTitle(dir, options);
    if (way.in_key_wait) {
      GoToFarewellKeyWait(*session);
      ASSERT_FALSE(LineModeWithEcho(*session));
    }
    if (way.keys.empty()) {
      kill(session->pid(), way.signal_number);
    } else {
      session->Send(way.keys);
    }
    int status = 0;
    ASSERT_TRUE(session->WaitExit(kTimeout, &status)) << term;
    if (way.ends_with == 0) {
      EXPECT_TRUE(ExitedWith(status, 0)) << term << " status " << status;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == way.ends_with) << term << " status " << status;
    }
    EXPECT_TRUE(LineModeWithEcho(*session)) << term;
    const std::string output = session->Output();
    if (term != "xterm") {
      EXPECT_EQ(output.find('\x1b'), std::string::npos) << term << ": no escapes at all";
      continue;
    }
    EXPECT_EQ(output.find(kEnter), 0u) << output;
    const std::string::size_type leave = output.rfind(kLeave);
    ASSERT_NE(leave, std::string::npos) << output;
    EXPECT_GT(leave, output.rfind(kClear)) << "left after the last screen";
    EXPECT_EQ(output.find(kEnter, 1), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, WayOutTest,
                         ::testing::Values(way_out{"Farewell", true, "k", 0, 0},
                                           way_out{"EndOfInputAtAPrompt", false, "\x04", 0, 0},
                                           way_out{"EndOfInputInAKeyWait", true, "\x04", 0, 0},
                                           way_out{"CtrlCAtAPrompt", false, "\x03", 0, SIGINT},
                                           way_out{"CtrlBackslashInAKeyWait", true, "\x1c", 0, SIGQUIT},
                                           way_out{"SigintInAKeyWait", true, "", SIGINT, SIGINT},
                                           way_out{"SigtermAtAPrompt", false, "", SIGTERM, SIGTERM},
                                           way_out{"SigtermInAKeyWait", true, "", SIGTERM, SIGTERM},
                                           way_out{"SighupInAKeyWait", true, "", SIGHUP, SIGHUP},
                                           way_out{"AbortInAKeyWait", true, "", SIGABRT, SIGABRT},
                                           // A sanitizer in the build reports a SIGSEGV itself but leaves
                                           // SIGILL alone, so the game dies of it just as without one.
                                           way_out{"CrashAtAPrompt", false, "", SIGILL, SIGILL}),
                         [](const ::testing::TestParamInfo<way_out>& info) {
                           return std::string(info.param.name);
                         });

TEST(TerminalTest, CtrlZAndFgInAKeyWait) {
  for (const std::string term : {"xterm", "dumb"}) {
    TempDir dir;
    PtyOptions options;
    options.term = term;
    options.job_control = true;
    auto session = StartAtTitle(dir, options);
    GoToFarewellKeyWait(*session);
    const std::string screen = session->Screen();
    const std::string farewell =
        screen.substr(screen.rfind('\x1b') == std::string::npos ? 0 : screen.rfind(kClear));

    session->ClearOutput();
    kill(-session->pid(), SIGTSTP);
    ASSERT_TRUE(session->WaitStopped(kTimeout)) << term;
    session->Drain(0.1);
    EXPECT_TRUE(LineModeWithEcho(*session)) << term << ": the shell gets its terminal back";
    EXPECT_EQ(session->Output(), term == "xterm" ? kLeave : "") << term;

    session->ClearOutput();
    session->Foreground();
    ASSERT_TRUE(session->WaitForKeyWait(kTimeout)) << term;
    session->Drain(0.1);
    if (term == "xterm") {
      EXPECT_EQ(session->Screen(), kEnter + farewell) << "the screen is drawn again";
    }

    // One key still answers the wait, and nothing is echoed.
    session->ClearOutput();
    session->Send("k");
    int status = 0;
    ASSERT_TRUE(session->WaitExit(kTimeout, &status)) << term;
    EXPECT_TRUE(ExitedWith(status, 0)) << term << " status " << status;
    EXPECT_EQ(session->Output(), term == "xterm" ? kLeave : "") << term;
  }
}

TEST(TerminalTest, SignalsIgnoredAtStartStayIgnoredInAKeyWait) {
  TempDir dir;
  PtyOptions options;
  options.ignored_signals = {SIGHUP, SIGINT};  // as under nohup, or a shell's background job
  auto session = StartAtTitle(dir, options);
  GoToFarewellKeyWait(*session);
  kill(session->pid(), SIGHUP);
  kill(session->pid(), SIGINT);
  int status = 0;
  EXPECT_FALSE(session->WaitExit(0.3, &status)) << "status " << status;
  ASSERT_FALSE(LineModeWithEcho(*session)) << "still waiting for its key";
  session->Send("k");
  ASSERT_TRUE(session->WaitExit(kTimeout, &status));
  EXPECT_TRUE(ExitedWith(status, 0)) << "status " << status;
}

// Sets TERM for one scope and puts the old value back.
class ScopedTerm {
 public:
  explicit ScopedTerm(const char* value) {
    if (const char* old = std::getenv("TERM")) old_ = old;
    if (value == nullptr) {
      unsetenv("TERM");
    } else {
      setenv("TERM", value, 1);
    }
  }
  ~ScopedTerm() {
    if (old_) {
      setenv("TERM", old_->c_str(), 1);
    } else {
      unsetenv("TERM");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(TerminalTest, EscapesOnlyForARealTerminalType) {
  const struct {
    const char* term;  // null: unset
    bool escapes;
  } cases[] = {{nullptr, false}, {"", false}, {"dumb", false}, {"xterm-256color", true}};
  for (const auto& c : cases) {
    ScopedTerm term(c.term);
    EXPECT_EQ(terminal::EscapesAllowed(), c.escapes) << (c.term == nullptr ? "unset" : c.term);
  }
}

// Stands for the terminate handler that was there before the game's: it
// runs after the game's own and reads what the terminal got meanwhile.
int pty_master = -1;

[[noreturn]] void ExitZeroIfTheTerminalWasPutBack() {
  std::string seen;
  char buffer[256];
  for (ssize_t count = 0; (count = read(pty_master, buffer, sizeof buffer)) > 0;) seen.append(buffer, count);
  const std::string enter = "\x1b[?1049h";
  const std::string leave = "\x1b[?1049l";
  _exit(seen.find(enter) == 0 && seen.find(leave) == seen.size() - leave.size() ? 0 : 1);
}

TEST(TerminalDeathTest, TerminateLeavesTheAlternateScreenBeforeItsReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        int pty_slave = -1;
        if (openpty(&pty_master, &pty_slave, nullptr, nullptr, nullptr) != 0) _exit(2);
        fcntl(pty_master, F_SETFL, O_NONBLOCK);
        dup2(pty_slave, STDOUT_FILENO);
        setenv("TERM", "xterm", 1);
        std::set_terminate(ExitZeroIfTheTerminalWasPutBack);
        terminal::Start();
        std::cout << "a screen";
        std::terminate();
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
