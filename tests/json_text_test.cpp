#include "platform/json_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace {

using json_text::value;
using test_support::Bytes;

value Parsed(const std::string& text) {
  value parsed;
  std::string problem;
  EXPECT_TRUE(json_text::Parse(text, &parsed, &problem)) << text << ": " << problem;
  return parsed;
}

std::string Problem(const std::string& text) {
  value parsed;
  parsed.text = "left over";
  std::string problem;
  EXPECT_FALSE(json_text::Parse(text, &parsed, &problem)) << text;
  // A refused text leaves nothing half read behind.
  EXPECT_EQ(parsed.type, value::kind::kNull);
  EXPECT_EQ(parsed.text, "");
  return problem;
}

TEST(JsonTextTest, ReadsARecordingHeader) {
  const value header = Parsed(
      R"({"version": 2, "width": 80, "height": 24, "timestamp": 1765177200, "title": "x", "env": {"TERM": "xterm"}})");
  ASSERT_EQ(header.type, value::kind::kObject);
  std::vector<std::string> names;
  for (const auto& member : header.members) names.push_back(member.first);
  EXPECT_EQ(names, (std::vector<std::string>{"version", "width", "height", "timestamp", "title", "env"}));
  ASSERT_NE(header.Find("timestamp"), nullptr);
  EXPECT_EQ(header.Find("timestamp")->type, value::kind::kNumber);
  EXPECT_EQ(header.Find("timestamp")->text, "1765177200");
  EXPECT_EQ(header.Find("width")->text, "80");
  EXPECT_EQ(header.Find("title")->type, value::kind::kString);
  const value* term = header.Find("env")->Find("TERM");
  ASSERT_NE(term, nullptr);
  EXPECT_EQ(term->text, "xterm");
  EXPECT_EQ(header.Find("idle_time_limit"), nullptr);
  EXPECT_EQ(header.Find("title")->Find("x"), nullptr);
}

TEST(JsonTextTest, ReadsAnEventLine) {
  const value event = Parsed(R"([0.123456, "o", "\u001b[H\u001b[2J\r\n"])");
  ASSERT_EQ(event.type, value::kind::kArray);
  ASSERT_EQ(event.items.size(), 3u);
  EXPECT_EQ(event.items[0].type, value::kind::kNumber);
  EXPECT_EQ(event.items[0].text, "0.123456");
  EXPECT_EQ(event.items[1].text, "o");
  EXPECT_EQ(event.items[2].text, "\x1b[H\x1b[2J\r\n");
}

TEST(JsonTextTest, ResolvesEscapesAndSurrogatePairs) {
  EXPECT_EQ(Parsed(R"("\"\\\/\b\f\n\r\t")").text, "\"\\/\b\f\n\r\t");
  EXPECT_EQ(Parsed(R"("\u0041\u00e9\u00C9\u20ac")").text,
            std::string("A") + Bytes({0xC3, 0xA9, 0xC3, 0x89, 0xE2, 0x82, 0xAC}));
  EXPECT_EQ(Parsed(R"("\ud83d\ude00")").text, Bytes({0xF0, 0x9F, 0x98, 0x80}));
  EXPECT_EQ(Parsed(R"("\uDBFF\uDFFF")").text, Bytes({0xF4, 0x8F, 0xBF, 0xBF}));
  EXPECT_EQ(Parsed(R"("a\u0000b")").text, std::string("a\0b", 3));
  // Characters written as they are pass through.
  const std::string euro = Bytes({0xE2, 0x82, 0xAC});
  EXPECT_EQ(Parsed("\"" + euro + "\"").text, euro);
}

TEST(JsonTextTest, KeepsNumbersAsWrittenAndReadsTheOtherValues) {
  for (const std::string number :
       {"1765177200", "-0.5e3", "0", "-0", "1E+2", "12.5e-03", "123456789012345678901234"}) {
    const value parsed = Parsed(number);
    EXPECT_EQ(parsed.type, value::kind::kNumber);
    EXPECT_EQ(parsed.text, number);
  }
  EXPECT_TRUE(Parsed(" true ").boolean);
  EXPECT_EQ(Parsed("false").type, value::kind::kBoolean);
  EXPECT_FALSE(Parsed("false").boolean);
  EXPECT_EQ(Parsed("\r\n\tnull\n").type, value::kind::kNull);
  EXPECT_TRUE(Parsed("[ ]").items.empty());
  EXPECT_TRUE(Parsed("{ }").members.empty());
  const value nested = Parsed(R"({"a": [1, {"b": [true, null]}], "a": 2})");
  EXPECT_EQ(nested.Find("a")->items[1].Find("b")->items.size(), 2u);
  EXPECT_EQ(nested.members.size(), 2u);
}

TEST(JsonTextTest, RefusesWhatIsNotJsonAndSaysWhere) {
  EXPECT_EQ(Problem("[1,]"), "unexpected character at byte 3");
  EXPECT_EQ(Problem(R"({"a": 1,})"), "expected a member name at byte 8");
  EXPECT_EQ(Problem(R"("\ud800")"), "lone surrogate at byte 1");
  EXPECT_EQ(Problem(R"("x\udc00")"), "lone surrogate at byte 2");
  EXPECT_EQ(Problem(R"("\ud800\u0041")"), "lone surrogate at byte 1");
  EXPECT_EQ(Problem(R"("\ud800x")"), "lone surrogate at byte 1");
  EXPECT_EQ(Problem("\"a\nb\""), "control character in string at byte 2");
  EXPECT_EQ(Problem("\"a\tb\""), "control character in string at byte 2");
  EXPECT_EQ(Problem(R"(["abc)"), "unterminated string at byte 1");
  EXPECT_EQ(Problem("[1, 2"), "unexpected end at byte 5");
  EXPECT_EQ(Problem("01"), "leading zero at byte 0");
  EXPECT_EQ(Problem("+1"), "unexpected character at byte 0");
  EXPECT_EQ(Problem("[1] x"), "trailing characters at byte 4");
  EXPECT_EQ(Problem("{} {}"), "trailing characters at byte 3");
  EXPECT_EQ(Problem(""), "unexpected end at byte 0");
  EXPECT_EQ(Problem(Bytes({0x22, 0xFF, 0x22})), "invalid UTF-8 at byte 1");
  EXPECT_EQ(Problem(R"("\x")"), "bad escape at byte 1");
  EXPECT_EQ(Problem(R"("\u12G4")"), "bad escape at byte 1");
  EXPECT_EQ(Problem(R"("\ud83d\ude0")"), "bad escape at byte 7");
  for (const std::string text :
       {"1.", ".5", "1e", "1e+", "-", "-a", "1.e3", "0x1", "NaN", "Infinity", "tru", "nul", "[1 2]",
        "{\"a\" 1}", "{a: 1}", "{\"a\": }", "[", "   ", "\xEF\xBB\xBF{}"}) {
    const std::string problem = Problem(text);
    EXPECT_NE(problem.find(" at byte "), std::string::npos) << text << ": " << problem;
  }
}

TEST(JsonTextTest, NestsSixtyFourDeepAndNoDeeper) {
  const std::string deepest = std::string(64, '[') + std::string(64, ']');
  const value parsed = Parsed(deepest);
  int depth = 1;
  for (const value* at = &parsed; !at->items.empty(); at = &at->items[0]) ++depth;
  EXPECT_EQ(depth, 64);
  EXPECT_EQ(Problem(std::string(65, '[') + std::string(65, ']')), "nesting deeper than 64 at byte 64");
  std::string objects;
  for (int i = 0; i < 65; ++i) objects += "{\"a\":";
  EXPECT_EQ(Problem(objects + "1" + std::string(65, '}')), "nesting deeper than 64 at byte 320");
  // Far too deep is refused just the same, without running out of stack.
  EXPECT_EQ(Problem(std::string(100000, '[')), "nesting deeper than 64 at byte 64");
}

TEST(JsonTextTest, QuotesEveryControlCharacter) {
  const std::pair<char, std::string> named[] = {{'\b', "\\b"}, {'\t', "\\t"}, {'\n', "\\n"}, {'\f', "\\f"},
                                                {'\r', "\\r"}, {'"', "\\\""}, {'\\', "\\\\"}};
  std::string all;
  for (int c = 0; c < 0x80; ++c) {
    const std::string one(1, static_cast<char>(c));
    all += one;
    std::string want = one;
    if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\u%04x", c);
      want = hex;
    }
    for (const auto& [character, escape] : named) {
      if (c == character) want = escape;
    }
    EXPECT_EQ(json_text::Quote(one), "\"" + want + "\"") << c;
  }
  const std::string text = all + Bytes({0xE2, 0x82, 0xAC, 0xF4, 0x8F, 0xBD, 0x81});
  EXPECT_EQ(Parsed(json_text::Quote(text)).text, text);
  EXPECT_EQ(json_text::Quote(""), "\"\"");
}

}  // namespace
