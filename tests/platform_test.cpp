#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

#include "console/console_util.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/terminal.h"
#include "support/test_support.h"

namespace {

using test_support::ConsoleCapture;
using test_support::EndOfInput;

// The generator's formula in 64-bit arithmetic with an explicit modulo, so a
// slip in the 32-bit wrap-around of the real one shows up.
class ReferenceGenerator {
 public:
  explicit ReferenceGenerator(std::uint64_t seed) : state_(seed) {}
  int Draw() {
    state_ = (state_ * 1103515245ull + 12345ull) % 4294967296ull;
    return static_cast<int>((state_ / 65536ull) % 32768ull);
  }

 private:
  std::uint64_t state_;
};

TEST(RandomTest, UnseededGeneratorStartsFromStateOne) {
  // A fresh process, so no other test has seeded the generator first.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ReferenceGenerator reference(1);
        bool same = true;
        for (int i = 0; i < 100; ++i) same = same && rng::Draw() == reference.Draw();
        std::exit(same ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(RandomTest, KnownFirstDraws) {
  rng::Seed(1);
  EXPECT_EQ(rng::Draw(), 16838);
  EXPECT_EQ(rng::Draw(), 5758);
  EXPECT_EQ(rng::Draw(), 10113);
  rng::Seed(0);
  EXPECT_EQ(rng::Draw(), 0);
  EXPECT_EQ(rng::Draw(), 21468);
  EXPECT_EQ(rng::Draw(), 9988);
}

TEST(RandomTest, FollowsTheFormulaAndStaysInRange) {
  for (unsigned int seed : {0u, 1u, 12345u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 1700000000u}) {
    rng::Seed(seed);
    ReferenceGenerator reference(seed);
    for (int i = 0; i < 2000; ++i) {
      const int draw = rng::Draw();
      ASSERT_EQ(draw, reference.Draw()) << "seed " << seed << ", draw " << i;
      ASSERT_GE(draw, 0);
      ASSERT_LE(draw, 32767);
    }
  }
}

TEST(InputTest, ReadIntTakesOneNumberAtATimeAndANonNumberAsZeroWithItsLine) {
  const struct {
    const char* typed;
    std::vector<int> read;
  } cases[] = {
      {"42 -7\n  +3\n", {42, -7, 3}},
      {"abc 5\n9\n-\n8\n", {0, 9, 0, 8}},  // the 5 goes with the bad line; a lone sign is no number
      {"12abc 4\n7\n", {12, 0, 7}},        // "abc 4" is what is left: not a number
      {"99999999999 -99999999999\n3\n", {INT_MAX, INT_MIN, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    ConsoleCapture console(c.typed);
    for (const int number : c.read) EXPECT_EQ(input::ReadInt(), number);
  }
}

TEST(InputTest, ReadUnsignedWrapsNegativeNumbersAndSaturatesHugeOnes) {
  ConsoleCapture console("-1\n-4294967295\n4294967296\n4294967297 -4294967297\n7\nx 5\n6\n");
  EXPECT_EQ(input::ReadUnsigned(), 4294967295u);
  EXPECT_EQ(input::ReadUnsigned(), 1u);
  // Past 32 bits: the largest value, never a small answer such as 0 or 1.
  EXPECT_EQ(input::ReadUnsigned(), 4294967295u);
  EXPECT_EQ(input::ReadUnsigned(), 4294967295u);
  EXPECT_EQ(input::ReadUnsigned(), 4294967295u);
  EXPECT_EQ(input::ReadUnsigned(), 7u);
  EXPECT_EQ(input::ReadUnsigned(), 0u);
  EXPECT_EQ(input::ReadUnsigned(), 6u);
}

TEST(InputTest, ReadCharSkipsBlanksAndLeavesTheRestOfTheLine) {
  ConsoleCapture console(" \t\n  nxyz\nq");
  EXPECT_EQ(input::ReadChar(), 'n');
  EXPECT_EQ(input::ReadLine(), "xyz");
  EXPECT_EQ(input::ReadChar(), 'q');
}

TEST(InputTest, ReadLineDropsTheNewlineAndKeepsBlanks) {
  ConsoleCapture console("  Aldric the Bold \n\nlast");
  EXPECT_EQ(input::ReadLine(), "  Aldric the Bold ");
  EXPECT_EQ(input::ReadLine(), "");
  EXPECT_EQ(input::ReadLine(), "last");
}

TEST(InputTest, DiscardLeftoverNewlineTakesOnlyOneNewline) {
  const struct {
    const char* typed;
    bool number_first;
    const char* line;
  } cases[] = {
      {"5\nAldric\n", true, "Aldric"},
      {"Aldric\n", false, "Aldric"},    // nothing left over: the name is untouched
      {"5\n\nBrann\n", true, ""},       // the player's empty line is kept
      {"abc\nBrann\n", true, "Brann"},  // after a failed read too
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    ConsoleCapture console(c.typed);
    if (c.number_first) input::ReadInt();
    input::DiscardLeftoverNewline();
    EXPECT_EQ(input::ReadLine(), c.line);
  }
}

TEST(InputTest, EndOfInputCallsTheHandlerAtEveryRead) {
  {
    ConsoleCapture console("");
    EXPECT_THROW(input::ReadInt(), EndOfInput);
    EXPECT_THROW(input::ReadUnsigned(), EndOfInput);
    EXPECT_THROW(input::ReadChar(), EndOfInput);
    EXPECT_THROW(input::ReadLine(), EndOfInput);
  }
  {
    ConsoleCapture console(" \n\t \n");  // blanks only are no answer
    EXPECT_THROW(input::ReadInt(), EndOfInput);
  }
  {
    ConsoleCapture console(" \n\t \n");
    EXPECT_THROW(input::ReadChar(), EndOfInput);
  }
  {
    ConsoleCapture console("abc");  // the bad entry counts 0, then the input is over
    EXPECT_EQ(input::ReadInt(), 0);
    EXPECT_THROW(input::ReadInt(), EndOfInput);
  }
  {
    ConsoleCapture console("12");  // a last number without newline still counts
    EXPECT_EQ(input::ReadInt(), 12);
    EXPECT_THROW(input::ReadInt(), EndOfInput);
  }
  {
    ConsoleCapture console("\n");
    EXPECT_EQ(input::ReadLine(), "");
    EXPECT_THROW(input::ReadLine(), EndOfInput);
  }
}

void ReturningHandler() {}

TEST(InputTest, EndOfInputExitsWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::istringstream empty;
  EXPECT_EXIT(
      {
        std::cin.rdbuf(empty.rdbuf());
        input::SetEndOfInputHandler(nullptr);
        input::ReadChar();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  // A handler that wrongly returns must not let the read go on.
  EXPECT_EXIT(
      {
        std::cin.rdbuf(empty.rdbuf());
        input::SetEndOfInputHandler(ReturningHandler);
        input::ReadInt();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ConsoleTest, ClearAndPauseWriteNothingIntoACapture) {
  ConsoleCapture console("x\n");
  EXPECT_FALSE(terminal::StdoutIsTerminal());
  EXPECT_FALSE(terminal::StdinIsTerminal());
  console::NewScreen();
  console::Pause();
  terminal::SizeConsole();
  EXPECT_EQ(console.Output(), "");
  EXPECT_EQ(input::ReadChar(), 'x');  // the wait took nothing from the input
}

}  // namespace
