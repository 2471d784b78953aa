// Text at the edges of the platform layer: UTF-8 to UTF-16 and back for
// systems whose calls take UTF-16, Windows' ways of reading text, keys read
// whole, and the buffers between the game's streams and the terminal,
// driven through a scripted stand-in for the terminal. None needs a real
// terminal, so they are checked here on every system, whichever backend
// uses them.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/key_sequence.h"
#include "platform/stream_buffers.h"
#include "platform/text_mode.h"
#include "platform/utf16.h"
#include "support/test_support.h"

namespace {

TEST(Utf16Test, EveryKindOfCharacterMakesTheRoundTrip) {
  const std::string text = "Tamsin \xc3\x86r\xc3\xb8 \xe2\x82\xac \xf0\x9f\x99\x82 ~";
  const std::u16string units = utf16::FromUtf8(text);
  EXPECT_EQ(units, u"Tamsin \u00c6r\u00f8 \u20ac \U0001F642 ~");
  EXPECT_EQ(utf16::ToUtf8(units), text);
  EXPECT_EQ(utf16::FromUtf8(""), u"");
  EXPECT_EQ(utf16::ToUtf8(u""), "");
}

TEST(Utf16Test, BrokenTextBecomesReplacementCharactersNeverLost) {
  // A stray continuation, a lead cut short, an overlong slash, a surrogate
  // in UTF-8, a code beyond U+10FFFF: each is replaced and the text goes on.
  EXPECT_EQ(utf16::FromUtf8("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(utf16::FromUtf8("a\xe2\x82"), u"a\uFFFD\uFFFD");
  EXPECT_EQ(utf16::FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");
  EXPECT_EQ(utf16::FromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf16::FromUtf8("\xf4\x90\x80\x80!"), u"\uFFFD\uFFFD\uFFFD\uFFFD!");
  // Unpaired surrogates in UTF-16 (file names may hold them).
  EXPECT_EQ(utf16::ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xef\xbf\xbdx");
  EXPECT_EQ(utf16::ToUtf8(std::u16string(1, u'\xDC00')), "\xef\xbf\xbd");
}

TEST(Utf16Test, AnIncompleteLastCharacterIsHeldBack) {
  EXPECT_EQ(utf16::IncompleteTail("abc"), 0u);
  EXPECT_EQ(utf16::IncompleteTail(""), 0u);
  EXPECT_EQ(utf16::IncompleteTail("a\xc3"), 1u);
  EXPECT_EQ(utf16::IncompleteTail("a\xc3\xa9"), 0u);
  EXPECT_EQ(utf16::IncompleteTail("\xe2\x82"), 2u);
  EXPECT_EQ(utf16::IncompleteTail("\xf0\x9f\x99"), 3u);
  EXPECT_EQ(utf16::IncompleteTail("\xf0\x9f\x99\x82"), 0u);
  EXPECT_EQ(utf16::IncompleteTail("a\x80"), 0u) << "a stray byte waits for nothing";
}

std::string ReadAll(const std::vector<std::string>& chunks, bool ctrl_z_ends, bool* ended = nullptr) {
  text_mode::reader reader(ctrl_z_ends);
  std::string text;
  for (const std::string& chunk : chunks) reader.Take(chunk, &text);
  if (ended != nullptr) *ended = reader.ended();
  reader.Finish(&text);
  return text;
}

TEST(TextModeTest, LinesEndingInCarriageReturnAndNewlineEndInNewline) {
  EXPECT_EQ(ReadAll({"Tamsin\r\n", "f\r\n"}, true), "Tamsin\nf\n");
  EXPECT_EQ(ReadAll({"Tamsin\r", "\nf\n"}, false), "Tamsin\nf\n") << "split between reads";
  EXPECT_EQ(ReadAll({"a\rb\r"}, false), "a\rb\r") << "a carriage return alone is text";
}

TEST(TextModeTest, CtrlZEndsTheConsoleInputButNotAFile) {
  bool ended = false;
  EXPECT_EQ(ReadAll({"1\r\n", "\x1a\r\n", "more\r\n"}, true, &ended), "1\n");
  EXPECT_TRUE(ended);
  EXPECT_EQ(ReadAll({"Tam\x1a", "sin\r\n"}, true, &ended), "Tam") << "what came before it counts";
  EXPECT_TRUE(ended);
  EXPECT_EQ(ReadAll({"a\x1a"
                     "b\n"},
                    false, &ended),
            "a\x1a"
            "b\n");
  EXPECT_FALSE(ended);
}

// Bytes as a terminal hands them out: each group arrives at once, and the
// next only after a pause longer than a key's grace period.
std::vector<std::string> arrivals;
std::size_t group = 0;
std::size_t at = 0;

bool NextByte(unsigned char* byte, int milliseconds) {
  if (group < arrivals.size() && at == arrivals[group].size()) {
    if (milliseconds >= 0) return false;  // the rest comes too late
    ++group;
    at = 0;
  }
  if (group >= arrivals.size()) return false;
  *byte = static_cast<unsigned char>(arrivals[group][at++]);
  return true;
}

std::vector<std::string> Keys(const std::vector<std::string>& groups) {
  arrivals = groups;
  group = 0;
  at = 0;
  std::vector<std::string> keys;
  for (std::string key; key_sequence::ReadKey(NextByte, &key);) keys.push_back(key);
  return keys;
}

TEST(KeySequenceTest, ReadKeyTakesOneWholeKeyAtATime) {
  EXPECT_EQ(Keys({"ab"}), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Keys({"\x1b[A\x1bOP"}), (std::vector<std::string>{"\x1b[A", "\x1bOP"}));
  EXPECT_EQ(Keys({"\xc3\xa9\xe2\x82\xac"}), (std::vector<std::string>{"\xc3\xa9", "\xe2\x82\xac"}));
  // A lone Escape is a key of its own once nothing follows in time.
  EXPECT_EQ(Keys({"\x1b", "[A"}), (std::vector<std::string>{"\x1b", "[", "A"}));
  EXPECT_EQ(Keys({}), (std::vector<std::string>{}));
  // Junk never makes one key longer than the longest there is.
  const std::vector<std::string> junk = Keys({"\x1b[" + std::string(40, '1')});
  ASSERT_FALSE(junk.empty());
  EXPECT_EQ(junk.front().size(), key_sequence::kLongestKey);
}

TEST(KeySequenceTest, WholeKeys) {
  for (const char* key : {"a", "\n", "\x1b[A", "\x1b[1;5C", "\x1b[15~", "\x1bOP", "\x1b[[A", "\x1bx",
                          "\x1b\x1b[A", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x99\x82"}) {
    EXPECT_TRUE(key_sequence::WholeKey(key)) << key + 1;
  }
  // Not yet: the rest may still be on its way.
  for (const char* key : {"", "\x1b", "\x1b[", "\x1b[1;5", "\x1bO", "\x1b[[", "\x1b\x1b[", "\xc3", "\xe2\x82",
                          "\xf0\x9f\x99"}) {
    EXPECT_FALSE(key_sequence::WholeKey(key)) << key;
  }
  // A sequence that breaks off ends with the byte that broke it.
  EXPECT_TRUE(key_sequence::WholeKey("\x1b[1\n"));
  EXPECT_TRUE(key_sequence::WholeKey(std::string("\xc3") + "A"));
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

// --- the buffers between the streams and the terminal ---------------------

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

TEST_F(StreamBuffersTest, AKeptScreenHoldsWhatThePlayerTypedOnIt) {
  output_.KeepScreen(true);
  terminal_side.chunks = {"Tams\x1b[Din\n"};
  out_ << "CLEAR name? ";
  std::string line;
  std::getline(in_, line);
  EXPECT_EQ(line, "Tamsin");
  out_ << "\nsex? " << std::flush;
  EXPECT_EQ(terminal_side.writes, (std::vector<std::string>{"CLEAR name? ", "\nsex? "})) << "the echo is the terminal's";
  EXPECT_EQ(output_.Written(), "CLEAR name? Tamsin\n\nsex? ");
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
