// The terminal changing size under the game, and the game continued in the
// background: the built game on a pseudo-terminal, resized from its side.

#include <gtest/gtest.h>
#include <signal.h>

#include <memory>
#include <string>

#include "support/pty_session.h"
#include "support/test_support.h"
#include "support/write_counter.h"

namespace {

using test_support::kTitlePrompt;
using test_support::LineModeWithEcho;
using test_support::PtyOptions;
using test_support::PtySession;
using test_support::TempDir;
using test_support::WriteCounter;

constexpr double kTimeout = 10.0;
const std::string kEnter = "\x1b[?1049h";
const std::string kLeave = "\x1b[?1049l";
const std::string kClear = "\x1b[H\x1b[2J";
const std::string kIntroEnd = "Who are you?" + std::string(11, '\n');
const std::string kNamePrompt = "What is your name?\n\t  ";
const std::string kSexPrompt = "1) Female\n\t  ";
const std::string kRacePrompt = "6) Skink\n\t  ";

std::string Notice(int columns, int rows) {
  return kClear + "\n\tOSSIVAR needs a console of 80 columns by 24 lines.\n\tThis one is " +
         std::to_string(columns) + " by " + std::to_string(rows) +
         ".\n\n\tEnlarge it if you can, then press a key.\n";
}

// The game on a terminal that takes escape sequences, at its title, and
// where it can be done, a count of the writes each of its screens takes.
class ResizeTest : public ::testing::Test {
 protected:
  void Start(bool job_control = false) {
    ASSERT_TRUE(dir_.CopyCoreData());
    PtyOptions options;
    options.term = "xterm";
    options.job_control = job_control;
    session_ = std::make_unique<PtySession>(dir_.path(), options);
    ASSERT_TRUE(session_->started());
    ASSERT_TRUE(session_->WaitFor(kTitlePrompt, kTimeout)) << session_->Screen();
    if (!WriteCounter::kAvailable || job_control) return;
    counter_ = std::make_unique<WriteCounter>(session_->pid());
    if (!counter_->holding()) counter_.reset();  // this system does not let a test follow its child
  }

  // Sends `keys` and reads until the output ends with `shown`; returns the
  // screen from its clear on.
  std::string Answer(const std::string& keys, const std::string& shown) {
    session_->ClearOutput();
    session_->Send(keys);
    if (counter_) counter_->WritesUntilNextWait();
    EXPECT_TRUE(session_->WaitFor(shown, kTimeout)) << session_->Screen();
    const std::string screen = session_->Screen();
    const std::string::size_type clear = screen.rfind(kClear);
    return clear == std::string::npos ? screen : screen.substr(clear);
  }

  // Resizes the terminal and expects exactly `drawn` back, in one write.
  void ExpectRedraw(unsigned short columns, unsigned short rows, const std::string& drawn) {
    session_->ClearOutput();
    session_->Resize(columns, rows);
    if (counter_) {
      EXPECT_EQ(counter_->WritesUntilNextWait(), 1) << columns << "x" << rows;
    }
    EXPECT_TRUE(session_->WaitFor(drawn, kTimeout)) << columns << "x" << rows << "\n" << session_->Screen();
    session_->Drain(0.05);
    EXPECT_EQ(session_->Screen(), drawn) << columns << "x" << rows;
  }

  TempDir dir_;
  std::unique_ptr<PtySession> session_;
  std::unique_ptr<WriteCounter> counter_;
};

TEST_F(ResizeTest, EachWaitDrawsItsScreenAgainWholeInOneWrite) {
  Start();
  const std::string title = Answer("x\n", kTitlePrompt);
  ExpectRedraw(100, 30, title);
  const std::string intro = Answer("n\n", kIntroEnd);  // a key wait
  ExpectRedraw(81, 24, intro);
  const std::string name = Answer("k", kNamePrompt);  // a line prompt
  ExpectRedraw(120, 40, name);
  Answer("Tamsin\n", kSexPrompt);
  const std::string race = Answer("f\n", kRacePrompt);  // a number prompt
  ExpectRedraw(80, 25, race);
  if (!counter_) GTEST_SKIP() << "checked what was drawn, but not in how many writes: no ptrace here";
}

TEST_F(ResizeTest, TooSmallShowsTheNoticeUntilLargeEnoughOrAKey) {
  Start();
  const std::string intro = Answer("n\n", kIntroEnd);
  ExpectRedraw(70, 20, Notice(70, 20));
  ExpectRedraw(79, 30, Notice(79, 30));
  ExpectRedraw(80, 24, intro);
  ExpectRedraw(100, 23, Notice(100, 23));
  // A key answers the notice, not the screen's own wait.
  session_->ClearOutput();
  session_->Send("k");
  if (counter_) {
    EXPECT_EQ(counter_->WritesUntilNextWait(), 1);
  }
  ASSERT_TRUE(session_->WaitFor(kIntroEnd, kTimeout)) << session_->Screen();
  EXPECT_EQ(session_->Screen(), intro);
  // And at a number prompt the answer typed under the notice counts.
  Answer("k", kNamePrompt);
  Answer("Tamsin\n", kSexPrompt);
  ExpectRedraw(60, 10, Notice(60, 10));
  Answer("f\n", kRacePrompt);
}

TEST_F(ResizeTest, ALineHalfTypedStaysTyped) {
  Start();
  Answer("n\n", kIntroEnd);
  const std::string name = Answer("k", kNamePrompt);
  session_->Send("Tam");
  ASSERT_TRUE(session_->WaitFor(kNamePrompt + "Tam", kTimeout)) << "echoed by the terminal";
  ExpectRedraw(100, 30, name);
  ExpectRedraw(70, 20, Notice(70, 20));
  ExpectRedraw(80, 24, name);
  // The screen goes on under the name, drawn whole again so the name shows
  // whole, and from then on it is part of the screen.
  const std::string sex = Answer("sin\n", kSexPrompt);
  EXPECT_EQ(sex.substr(0, name.size() + 7), name + "Tamsin\n");
  ExpectRedraw(90, 30, sex);
  const std::string race = Answer("f\n", kRacePrompt);
  EXPECT_NE(race.find("Tamsin"), std::string::npos) << "the whole name was the answer:\n" << race;
}

TEST_F(ResizeTest, ContinuedInTheBackgroundDrawsNothingUntilInTheForeground) {
  Start(true);
  const std::string intro = Answer("n\n", kIntroEnd);
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  session_->ClearOutput();
  kill(-session_->pid(), SIGTSTP);
  ASSERT_TRUE(session_->WaitStopped(kTimeout));
  session_->Drain(0.1);
  EXPECT_EQ(session_->Output(), kLeave);

  session_->ClearOutput();
  session_->Background();
  ASSERT_TRUE(session_->WaitContinued(kTimeout));
  session_->Drain(0.2);
  kill(session_->pid(), SIGWINCH);  // only the foreground hears of a resize; a stray one changes nothing
  session_->Drain(0.2);
  EXPECT_EQ(session_->Output(), "") << "nothing drawn over the shell's screen";
  EXPECT_TRUE(LineModeWithEcho(*session_)) << "the shell's settings are left alone";

  session_->Resize(70, 20);  // while the shell has the terminal
  session_->Foreground();
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  ASSERT_TRUE(session_->WaitFor(Notice(70, 20), kTimeout)) << session_->Screen();
  session_->Drain(0.05);
  EXPECT_EQ(session_->Screen(), kEnter + Notice(70, 20));
  ExpectRedraw(80, 24, intro);
  Answer("k", kNamePrompt);
}

}  // namespace
