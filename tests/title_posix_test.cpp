#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "game/game.h"
#include "support/pty_session.h"
#include "support/test_support.h"

namespace {

using test_support::ExitedWith;
using test_support::kRule;
using test_support::kTitlePrompt;
using test_support::LineModeWithEcho;
using test_support::PtyOptions;
using test_support::PtySession;
using test_support::Spaces;
using test_support::TempDir;

constexpr double kTimeout = 10.0;

// The build's version, as the build files state it, in the title's form.
std::string ShownVersion() {
  unsigned major = 0, minor = 0, patch = 0;
  EXPECT_EQ(std::sscanf(OSSIVAR_PROJECT_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
  char shown[40];
  std::snprintf(shown, sizeof shown, "%u.%02u.%03u", major, minor, patch);
  return shown;
}

// The title screen after its clear; it ends at the prompt.
std::string TitleScreen() {
  return "\n" + kRule + "\n" + Spaces(36) + "OSSIVAR\n\n" + Spaces(33) + "VER. " + ShownVersion() + "\n\n\n" + kRule + "\n\n" +
         Spaces(31) + "[N]ew Game\n" + Spaces(31) + "[C]ontinue\n" + Spaces(31) + "[Q]uit\n" + Spaces(32);
}

std::string FarewellScreen() {
  return std::string(11, '\n') + Spaces(27) + "Another light vanquished." + std::string(12, '\n');
}

// With TERM=dumb a clear is one blank line.
const std::string kDumbClear = "\n";

// The one version the build files give is the one the title shows; the
// released 0.1.2 reads exactly "0.01.002".
TEST(TitleVersionTest, MinorInTwoDigitsPatchInThree) {
  EXPECT_EQ(game::TitleVersion(0, 1, 2), "0.01.002");
  EXPECT_EQ(game::TitleVersion(1, 10, 345), "1.10.345");
  EXPECT_EQ(game::TitleVersion(), ShownVersion());
}

class TitleTest : public ::testing::Test {
 protected:
  // Starts the game and waits for its first prompt; the output is then kept.
  void Start(const PtyOptions& options = {}) {
    session_ = std::make_unique<PtySession>(dir_.path(), options);
    ASSERT_TRUE(session_->started());
    ASSERT_TRUE(session_->WaitFor(kTitlePrompt, kTimeout)) << session_->Screen();
  }

  // Sends a line and waits for the title to come back after it.
  void SendAndAwaitTitle(const std::string& line) {
    session_->ClearOutput();
    session_->Send(line);
    ASSERT_TRUE(session_->WaitFor(kTitlePrompt, kTimeout)) << session_->Screen();
  }

  void ExpectCleanExit() {
    int status = 0;
    ASSERT_TRUE(session_->WaitExit(kTimeout, &status));
    EXPECT_TRUE(ExitedWith(status, 0)) << "status " << status;
  }

  TempDir dir_;
  std::unique_ptr<PtySession> session_;
};

TEST_F(TitleTest, ShowsTheTitleScreenExactly) {
  Start();
  session_->Drain(0.2);  // nothing more may follow the prompt
  EXPECT_EQ(session_->Screen(), kDumbClear + TitleScreen());
}

TEST_F(TitleTest, AnyOtherLetterRedrawsTheTitle) {
  Start();
  for (const std::string line : {"x\n", "7\n", "?\n"}) {
    SendAndAwaitTitle(line);
    session_->Drain(0.1);
    // The terminal echoes the line, then one clear and one title follow.
    EXPECT_EQ(session_->Screen(), line + kDumbClear + TitleScreen());
  }
}

TEST_F(TitleTest, OnlyTheFirstLetterOfALineCounts) {
  Start();
  session_->ClearOutput();
  session_->Send("xQ\n");  // "x" redraws, then the "Q" left on the line quits
  ASSERT_TRUE(session_->WaitFor("vanquished.", kTimeout)) << session_->Screen();
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  EXPECT_EQ(session_->Screen(), "xQ\n" + kDumbClear + TitleScreen() + kDumbClear + FarewellScreen());
  session_->Send("k");
  ExpectCleanExit();
}

TEST_F(TitleTest, NewGameAndContinueLeaveTheTitle) {
  // Either flow opens with a screen that waits for a key; a letter taken for
  // an unknown one would only redraw the title instead.
  for (const std::string line : {"  n\n", "N\n", "c\n", "C\n"}) {
    Start();
    session_->ClearOutput();
    session_->Send(line);
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout)) << line << session_->Screen();
    EXPECT_EQ(session_->Screen().find("[Q]uit"), std::string::npos) << line;
  }
}

TEST_F(TitleTest, QuitShowsTheFarewellAndAKeyEndsTheGame) {
  for (const std::string line : {"q\n", "Q\n"}) {
    Start();
    session_->ClearOutput();
    session_->Send(line);
    ASSERT_TRUE(session_->WaitFor("vanquished.", kTimeout));
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout)) << "the farewell must wait for a key";
    session_->Drain(0.1);
    EXPECT_EQ(session_->Screen(), line + kDumbClear + FarewellScreen());
    session_->Send(" ");
    ExpectCleanExit();
    EXPECT_EQ(session_->Screen(), line + kDumbClear + FarewellScreen());  // the key printed nothing
  }
}

TEST_F(TitleTest, EndOfInputAtTheTitleEndsCleanly) {
  Start();
  session_->ClearOutput();
  session_->SendEof();
  ExpectCleanExit();
  EXPECT_EQ(session_->Screen(), "\n");
}

TEST_F(TitleTest, EndOfInputDuringAKeyWaitEndsCleanlyAndRestoresTheTerminal) {
  Start();
  session_->Send("q\n");
  ASSERT_TRUE(session_->WaitFor("vanquished.", kTimeout));
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  session_->ClearOutput();
  session_->SendEof();
  ExpectCleanExit();
  EXPECT_EQ(session_->Screen(), "\n");
  EXPECT_TRUE(LineModeWithEcho(*session_));
}

TEST_F(TitleTest, AnArrowKeyDoesNotLeakIntoTheNextPrompt) {
  // Whole, and with its bytes apart as over a slow link.
  for (const bool split : {false, true}) {
    PtyOptions small;
    small.columns = 60;
    small.rows = 20;
    session_ = std::make_unique<PtySession>(dir_.path(), small);
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));  // the size notice
    session_->ClearOutput();
    session_->Send("\x1b");
    if (split) session_->Drain(0.05);
    session_->Send("[A");
    ASSERT_TRUE(session_->WaitFor(kTitlePrompt, kTimeout)) << session_->Screen();
    session_->Drain(0.2);
    EXPECT_EQ(session_->Screen(), kDumbClear + TitleScreen()) << split;
    // Left-over "[A" would go into the next line: the title drawn twice more.
    session_->ClearOutput();
    session_->Send("q\n");
    ASSERT_TRUE(session_->WaitFor("vanquished.", kTimeout));
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
    EXPECT_EQ(session_->Screen(), "q\n" + kDumbClear + FarewellScreen()) << split;
  }
}

TEST_F(TitleTest, ALineNeverKeepsAnArrowKey) {
  Start();
  session_->ClearOutput();
  session_->Send("\x1b[Cq\n");  // the terminal echoes the arrow as "^[[C"
  ASSERT_TRUE(session_->WaitFor("vanquished.", kTimeout)) << session_->Screen();
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  EXPECT_EQ(session_->Screen(), "^[[Cq\n" + kDumbClear + FarewellScreen());
}

TEST_F(TitleTest, RealTerminalGetsTheAlternateScreenAndAClearButNoResize) {
  // A terminal already large enough is never asked to change its size.
  for (const unsigned short columns : {80, 100}) {
    PtyOptions options;
    options.term = "xterm";
    options.columns = columns;
    options.rows = columns == 80 ? 24 : 30;
    Start(options);
    session_->Drain(0.2);
    EXPECT_EQ(session_->Screen(), "\x1b[?1049h\x1b[H\x1b[2J" + TitleScreen()) << columns;
  }
}

TEST_F(TitleTest, SmallTerminalGetsOneSizeNotice) {
  for (const char* term : {"xterm", "dumb"}) {
    PtyOptions options;
    options.term = term;
    options.columns = 60;
    options.rows = 20;
    session_ = std::make_unique<PtySession>(dir_.path(), options);
    ASSERT_TRUE(session_->WaitFor("This one is 60 by 20.", kTimeout)) << session_->Screen();
    EXPECT_NE(session_->Screen().find("80 columns by 24 lines"), std::string::npos);
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
    if (std::string(term) == "dumb") {
      EXPECT_EQ(session_->Screen().find('\x1b'), std::string::npos);
    } else {
      EXPECT_NE(session_->Screen().find("\x1b[8;24;80t"), std::string::npos) << "asked to grow";
    }
    session_->Send("k");
    ASSERT_TRUE(session_->WaitFor(kTitlePrompt, kTimeout)) << session_->Screen();
    SendAndAwaitTitle("x\n");
    EXPECT_EQ(session_->Screen().find("This one is"), std::string::npos);
  }
}

TEST_F(TitleTest, UnknownSizeGivesNoNotice) {
  PtyOptions options;
  options.columns = 0;
  options.rows = 0;
  Start(options);
  session_->Drain(0.2);
  EXPECT_EQ(session_->Screen(), kDumbClear + TitleScreen());
}

}  // namespace
