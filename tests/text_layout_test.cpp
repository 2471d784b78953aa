#include "console/text_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "model/aspect.h"
#include "model/pstr.h"
#include "support/test_support.h"

namespace {

using name_text = pstr<unsigned char>;
using long_text = pstr<unsigned short>;

using test_support::Spaces;

// Lines of a block, each without its newline; a last piece with no newline
// is kept too.
std::vector<std::string> Lines(const std::string& block) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at = block.find('\n'); at != std::string::npos; at = block.find('\n', from)) {
    lines.push_back(block.substr(from, at - from));
    from = at + 1;
  }
  if (from < block.size()) lines.push_back(block.substr(from));
  return lines;
}

TEST(Truncate, CutsWithDotsOnlyWhenThereIsRoom) {
  const name_text adventurers("Adventurers");
  EXPECT_EQ(Truncate(adventurers, 8), "Adven...");
  EXPECT_EQ(Truncate(adventurers, 10), "Adventu...");
  EXPECT_EQ(Truncate(adventurers, 11), "Adventurers");
  EXPECT_EQ(Truncate(adventurers, 40), "Adventurers");  // never padded

  const name_text goblin("Goblin");
  EXPECT_EQ(Truncate(goblin, 4), "G...");
  EXPECT_EQ(Truncate(goblin, 3), "Gob");
  EXPECT_EQ(Truncate(goblin, 1), "G");
  EXPECT_EQ(Truncate(goblin, 0), "");
  EXPECT_EQ(Truncate(name_text(""), 0), "");
}

TEST(Truncate, KeepsEmbeddedZeroBytes) {
  name_text text("abcdef");
  text.data[text.prefix_width + 1] = '\0';
  EXPECT_EQ(Truncate(text, 6), std::string("a\0cdef", 6));
  EXPECT_EQ(Truncate(text, 5), std::string("a\0...", 5));
}

TEST(Paragraph, EmptyTextIsBareNewlines) {
  EXPECT_EQ(Paragraph(long_text(""), 8, 8, 2, 7), std::string(7, '\n'));
  EXPECT_EQ(Paragraph(long_text(""), 8, 8, 2, 0), "");
}

TEST(Paragraph, FullFirstLineIsPadded) {
  const std::string text(62, 'x');
  EXPECT_EQ(Paragraph(long_text(text.c_str()), 8, 8, 2, 7), Spaces(10) + text + "\n" + std::string(6, '\n'));
}

TEST(Paragraph, BreakSpaceIsNotWritten) {
  std::string text(63, 'y');
  text[61] = ' ';
  EXPECT_EQ(Paragraph(long_text(text.c_str()), 8, 8, 2, 7),
            Spaces(10) + text.substr(0, 61) + "\n" + Spaces(8) + "y\n" + std::string(5, '\n'));
}

TEST(Paragraph, TemperanceDescription) {
  const long_text text(aspects::temperment.description);
  const std::string block = Paragraph(text, 8, 8, 2, 7);
  const std::vector<std::string> lines = Lines(block);
  ASSERT_EQ(lines.size(), 7u) << block;
  EXPECT_EQ(lines[0].substr(0, 11), Spaces(10) + text.str().substr(0, 1));
  EXPECT_EQ(lines[0].substr(lines[0].size() - 10), "mastery of");
  EXPECT_EQ(lines[1].substr(0, 9), Spaces(8) + lines[1][8]);
  EXPECT_NE(lines[1][8], ' ');
  EXPECT_EQ(lines[1].substr(lines[1].size() - 5), "while");
  EXPECT_EQ(lines[2].substr(0, 8), Spaces(8));
  for (int k = 3; k < 7; ++k) EXPECT_EQ(lines[k], "");
  // Every character but the two break spaces is written once.
  std::string joined = lines[0].substr(10) + " " + lines[1].substr(8) + " " + lines[2].substr(8);
  EXPECT_EQ(joined, text.str());
}

TEST(Paragraph, UnlimitedLineCountAddsNoPadding) {
  std::string text;
  for (int k = 0; k < 30; ++k) text += "word ";
  text += "end";
  const std::string block = Paragraph(long_text(text.c_str()), 8, 8, 2, 0);
  const std::vector<std::string> lines = Lines(block);
  ASSERT_EQ(block.back(), '\n');
  ASSERT_EQ(lines.size(), 3u) << block;
  for (const std::string& line : lines) EXPECT_FALSE(line.empty());
  EXPECT_EQ(lines[2].substr(lines[2].size() - 3), "end");
}

TEST(Paragraph, TooLongTextStopsAfterLineCountWithMargin) {
  std::string text;
  for (int k = 0; k < 20; ++k) text += "abcdefghi ";
  const std::string block = Paragraph(long_text(text.c_str()), 8, 8, 2, 2);
  const std::vector<std::string> lines = Lines(block);
  ASSERT_EQ(lines.size(), 3u) << block;
  EXPECT_EQ(lines[2], Spaces(8));  // margin of the dropped line, no newline
  EXPECT_NE(block.back(), '\n');
}

TEST(Paragraph, LongWordIsCutAtTheWindow) {
  const std::string word(150, 'w');
  const std::string block = Paragraph(long_text(word.c_str()), 8, 8, 2, 7);
  EXPECT_EQ(block, Spaces(10) + word.substr(0, 62) + "\n" + Spaces(8) + word.substr(62, 64) + "\n" + Spaces(8) +
                       word.substr(126) + "\n" + std::string(4, '\n'));
}

TEST(Paragraph, LongWordAfterShortOnesKeepsEveryCharacterOnce) {
  const std::string text = "ab " + std::string(200, 'z') + " tail";
  const std::string block = Paragraph(long_text(text.c_str()), 8, 8, 2, 0);
  std::string joined;
  for (const std::string& line : Lines(block)) {
    ASSERT_LE(line.size(), 80u - 8u);
    joined += line.substr(line.find_first_not_of(' '));
  }
  // The break eats the space after "ab"; the cuts lose nothing, and the
  // last line, which ends the text, keeps its space.
  std::string expected = text;
  expected.erase(2, 1);
  EXPECT_EQ(joined, expected) << block;
}

TEST(Paragraph, WindowStartingWithItsOnlySpaceStillEnds) {
  // After "a" breaks, the next window begins at the second space.
  const std::string text = std::string(61, 'a') + "  " + std::string(100, 'b');
  const std::string block = Paragraph(long_text(text.c_str()), 8, 8, 2, 0);
  const std::vector<std::string> lines = Lines(block);
  ASSERT_EQ(lines.size(), 3u) << block;
  EXPECT_EQ(lines[0], Spaces(10) + std::string(61, 'a'));
  EXPECT_EQ(lines[1], Spaces(8) + " " + std::string(63, 'b'));
  EXPECT_EQ(lines[2], Spaces(8) + std::string(37, 'b'));
}

TEST(Paragraph, OtherControlCharactersAreOrdinary) {
  const long_text text("one\ttwo\nthree");
  EXPECT_EQ(Paragraph(text, 0, 0, 0, 0), "one\ttwo\nthree\n");
}

TEST(Paragraph, DegenerateWidthsStillTerminate) {
  const long_text text("abc def");
  // A window of one column: one character a line.
  EXPECT_EQ(Paragraph(text, 40, 39, 0, 0).size(), 7u * (40 + 2));
  EXPECT_FALSE(Paragraph(text, 50, 50, 5, 0).empty());
  EXPECT_FALSE(Paragraph(text, -3, -3, -3, -3).empty());
}

}  // namespace
