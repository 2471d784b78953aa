// The buffers between the game's streams and the terminal, driven through a
// scripted stand-in for the terminal that records every write and read.

#include "platform/stream_buffers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/key_sequence.h"
#include "support/test_support.h"

namespace {

using key_sequence::WholeKey;

// The stand-in terminal: what was written, call by call, and what the next
// reads return, one chunk each (an empty chunk is the end of input).
struct fake_terminal {
  std::vector<std::string> writes;
  std::deque<std::string> chunks;
  int reads = 0;
  bool fail_writes = false;
};
fake_terminal terminal_side;

bool FakeWrite(const char* bytes, std::size_t count) {
  if (terminal_side.fail_writes) return false;
  terminal_side.writes.emplace_back(bytes, count);
  return true;
}

long FakeRead(char* bytes, std::size_t capacity) {
  ++terminal_side.reads;
  if (terminal_side.chunks.empty()) return 0;
  const std::string chunk = terminal_side.chunks.front();
  terminal_side.chunks.pop_front();
  const std::size_t count = std::min(chunk.size(), capacity);
  chunk.copy(bytes, count);
  return static_cast<long>(count);
}

class StreamBuffersTest : public ::testing::Test {
 protected:
  StreamBuffersTest() { terminal_side = fake_terminal{}; }

  terminal::output_buffer output_{FakeWrite};
  terminal::input_buffer input_{FakeRead, &output_};
  std::ostream out_{&output_};
  std::istream in_{&input_};
};

TEST(KeySequenceTest, WholeKeys) {
  for (const char* key : {"a", "\n", "\x1b[A", "\x1b[1;5C", "\x1b[15~", "\x1bOP", "\x1b[[A", "\x1bx",
                          "\x1b\x1b[A", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x99\x82"}) {
    EXPECT_TRUE(WholeKey(key)) << key + 1;
  }
  // Not yet: the rest may still be on its way.
  for (const char* key : {"", "\x1b", "\x1b[", "\x1b[1;5", "\x1bO", "\x1b[[", "\x1b\x1b[", "\xc3", "\xe2\x82",
                          "\xf0\x9f\x99"}) {
    EXPECT_FALSE(WholeKey(key)) << key;
  }
  // A sequence that breaks off ends with the byte that broke it.
  EXPECT_TRUE(WholeKey("\x1b[1\n"));
  EXPECT_TRUE(WholeKey(std::string("\xc3") + "A"));
}

TEST(KeySequenceTest, FilterDropsSequencesAcrossReadsAndKeepsText) {
  const auto filtered = [](const std::vector<std::string>& chunks) {
    key_sequence::escape_filter filter;
    std::string kept;
    for (const std::string& chunk : chunks) {
      for (const char byte : chunk) {
        if (filter.Keep(static_cast<unsigned char>(byte))) kept += byte;
      }
    }
    return kept;
  };
  EXPECT_EQ(filtered({"Tam\x1b[", "Dsin\n"}), "Tamsin\n");
  EXPECT_EQ(filtered({"\x1bOA\x1b[1;2B\x1b[[E\x1b[3~7\n"}), "7\n");
  EXPECT_EQ(filtered({"\x1bx\n"}), "x\n") << "a lone ESC goes, the letter stays";
  EXPECT_EQ(filtered({"\x1b", "\n"}), "\n");
  EXPECT_EQ(filtered({"\x1b[1\n"}), "\n") << "a newline ends a broken sequence and stays";
  EXPECT_EQ(filtered({"Ren\xc3\xa9\n"}), "Ren\xc3\xa9\n") << "non-ASCII letters are text";
}

TEST_F(StreamBuffersTest, OutputReachesTheTerminalOnlyWhenFlushedAndThenInOneWrite) {
  out_ << "\x1b[H\x1b[2J" << '\n' << "line one\n" << 42 << "\n\t  ";
  EXPECT_TRUE(terminal_side.writes.empty());
  out_.flush();
  ASSERT_EQ(terminal_side.writes.size(), 1u);
  EXPECT_EQ(terminal_side.writes[0], "\x1b[H\x1b[2J\nline one\n42\n\t  ");
  out_.flush();  // nothing new: no write at all
  out_ << "next";
  out_.flush();
  EXPECT_EQ(terminal_side.writes, (std::vector<std::string>{"\x1b[H\x1b[2J\nline one\n42\n\t  ", "next"}));
}

TEST_F(StreamBuffersTest, AKeptScreenIsDrawnAgainWholeOnRequest) {
  output_.KeepScreen(true);
  out_ << "old screen" << std::flush;
  output_.StartScreen();
  out_ << "CLEAR top" << std::flush;
  out_ << " prompt" << std::flush;
  EXPECT_EQ(output_.Written(), "CLEAR top prompt");
  output_.RedrawOnNextFlush();
  out_ << " typed";
  out_.flush();
  EXPECT_EQ(terminal_side.writes.back(), "CLEAR top prompt typed");
  out_ << "!" << std::flush;
  EXPECT_EQ(terminal_side.writes.back(), "!") << "only once";

  // Text not yet written when a new screen starts still goes out.
  out_ << "unsent ";
  output_.StartScreen();
  out_ << "CLEAR" << std::flush;
  EXPECT_EQ(terminal_side.writes.back(), "unsent CLEAR");
  EXPECT_EQ(output_.Written(), "unsent CLEAR");
}

TEST_F(StreamBuffersTest, OutputNotKeptIsNotHeldOnto) {
  out_ << "screen" << std::flush;
  EXPECT_EQ(output_.Written(), "");
  terminal_side.fail_writes = true;
  out_ << "lost";
  out_.flush();
  EXPECT_TRUE(out_.bad()) << "a failed write is reported to the stream";
  terminal_side.fail_writes = false;
  out_.clear();
  out_ << "after" << std::flush;
  EXPECT_EQ(terminal_side.writes.back(), "after") << "the failed text is not sent again";
}

TEST_F(StreamBuffersTest, InputFlushesFirstDropsEscapesAndEndsForGood) {
  terminal_side.chunks = {"\x1b[A", "5\n", ""};
  out_ << "\n\tTarget:\n\t  ";
  EXPECT_EQ(input_.in_avail(), 0) << "nothing read yet";
  EXPECT_EQ(terminal_side.reads, 0) << "asking did not read";
  int number = 0;
  in_ >> number;  // a read of only an arrow key yields nothing; the next one does
  EXPECT_EQ(number, 5);
  EXPECT_EQ(terminal_side.writes, std::vector<std::string>{"\n\tTarget:\n\t  "}) << "shown before the read";
  EXPECT_EQ(input_.in_avail(), 1) << "the newline came with the number";
  in_.ignore(1);
  EXPECT_EQ(input_.in_avail(), 0);
  EXPECT_EQ(in_.peek(), std::istream::traits_type::eof());
  in_.clear();
  terminal_side.chunks = {"more\n"};
  EXPECT_EQ(in_.peek(), std::istream::traits_type::eof()) << "nothing is read after the end";
  EXPECT_EQ(terminal_side.reads, 3);
}

// The leftover newline of a numeric answer, through the game's own input
// functions on a terminal that hands over one line per read.
TEST_F(StreamBuffersTest, LeftoverNewlineIsDiscardedOnlyWhenAlreadyRead) {
  test_support::ConsoleCapture capture;  // for its end-of-input handler, which throws
  struct reading_from {
    explicit reading_from(std::streambuf* buffer) : saved(std::cin.rdbuf(buffer)) {}
    ~reading_from() { std::cin.rdbuf(saved); }
    std::streambuf* saved;
  } cin_reads(&input_);
  terminal_side.chunks = {"5\n", "Aldric\n", "abc\n", "\n", "Brann\n"};
  EXPECT_EQ(input::ReadInt(), 5);
  input::DiscardLeftoverNewline();
  EXPECT_EQ(input::ReadLine(), "Aldric");
  // A non-number takes its whole line, so nothing is left over: the
  // player's one Enter is the answer, and no read waits for another line.
  EXPECT_EQ(input::ReadInt(), 0);
  const int reads = terminal_side.reads;
  input::DiscardLeftoverNewline();
  EXPECT_EQ(terminal_side.reads, reads) << "the discard waited for input";
  EXPECT_EQ(input::ReadLine(), "");
  EXPECT_EQ(input::ReadLine(), "Brann");
}

}  // namespace
