// Text at the edges of the platform layer: UTF-8 to UTF-16 and back for
// systems whose calls take UTF-16, Windows' ways of reading text, and a key
// read whole from a source of bytes. Pure functions, so they are checked
// here on every system, whichever backend uses them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/key_sequence.h"
#include "platform/text_mode.h"
#include "platform/utf16.h"

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

}  // namespace
