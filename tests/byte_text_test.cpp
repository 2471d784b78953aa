#include "platform/byte_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/json_text.h"
#include "support/bytes.h"

namespace {

using test_support::Bytes;

// Well-formed UTF-8 by the table of allowed byte ranges, written apart
// from the decoder the code uses so that a slip there shows up here.
bool WellFormed(const std::string& text) {
  struct form {
    int lead_low, lead_high, second_low, second_high, length;
  };
  static constexpr form kForms[] = {{0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
                                    {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3},
                                    {0xEE, 0xEF, 0x80, 0xBF, 3}, {0xF0, 0xF0, 0x90, 0xBF, 4},
                                    {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4}};
  std::size_t at = 0;
  while (at < text.size()) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (byte(0) < 0x80) {
      ++at;
      continue;
    }
    const form* found = nullptr;
    for (const form& f : kForms) {
      if (byte(0) >= f.lead_low && byte(0) <= f.lead_high) found = &f;
    }
    if (found == nullptr || at + found->length > text.size()) return false;
    if (byte(1) < found->second_low || byte(1) > found->second_high) return false;
    for (int i = 2; i < found->length; ++i) {
      if (byte(i) < 0x80 || byte(i) > 0xBF) return false;
    }
    at += found->length;
  }
  return true;
}

// The character that stands for one byte, U+10FF00 + the byte.
std::string Standing(int byte) { return Bytes({0xF4, 0x8F, 0xBC + (byte >> 6), 0x80 | (byte & 0x3F)}); }

std::string StandingEach(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) text += Standing(static_cast<unsigned char>(c));
  return text;
}

void ExpectRoundTrip(const std::string& bytes) {
  const std::string text = byte_text::ToText(bytes);
  EXPECT_EQ(byte_text::FromText(text), bytes);
  EXPECT_TRUE(WellFormed(text));
  json_text::value parsed;
  std::string problem;
  ASSERT_TRUE(json_text::Parse(json_text::Quote(text), &parsed, &problem)) << problem;
  EXPECT_EQ(parsed.text, text);
}

TEST(ByteTextTest, EveryByteAloneAndAllInARow) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    all += one;
    SCOPED_TRACE(byte);
    EXPECT_EQ(byte_text::ToText(one), byte < 0x80 ? one : Standing(byte));
    ExpectRoundTrip(one);
  }
  ExpectRoundTrip(all);
  EXPECT_EQ(byte_text::ToText(all), all.substr(0, 128) + StandingEach(all.substr(128)));
}

// Pieces that make every case likely: stray bytes, whole characters of each
// length, characters of the byte range, and characters cut short.
TEST(ByteTextTest, RandomBytesRoundTripAsValidText) {
  const std::vector<std::string> pieces = {"a",
                                           "\n",
                                           "\x1b[",
                                           Bytes({0xC3, 0xA9}),
                                           Bytes({0xE2, 0x82, 0xAC}),
                                           Bytes({0xF0, 0x9F, 0x98, 0x80}),
                                           Standing(0x41),
                                           Standing(0xFF),
                                           Bytes({0xE2, 0x82}),
                                           Bytes({0xF0, 0x9F}),
                                           Bytes({0xED, 0xA0, 0x80})};
  std::mt19937 generator(20251208);
  std::uniform_int_distribution<int> count(0, 24);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size());
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    for (int n = count(generator); n > 0; --n) {
      const std::size_t chosen = piece(generator);
      bytes += chosen < pieces.size() ? pieces[chosen] : std::string(1, static_cast<char>(byte(generator)));
    }
    SCOPED_TRACE(round);
    ExpectRoundTrip(bytes);
    if (HasFailure()) return;
  }
}

// U+0080, U+07FF, U+0800, U+FFFD, U+FFFF, U+10000, U+1F600 and U+10FEFF,
// just below the byte range, pass as they are.
TEST(ByteTextTest, ValidTextPassesUnchanged) {
  const std::string text =
      std::string("plain\t\r\n") +
      Bytes({0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBF,
             0xF0, 0x90, 0x80, 0x80, 0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBB, 0xBF});
  EXPECT_EQ(byte_text::ToText(text), text);
  EXPECT_EQ(byte_text::FromText(text), text);
  // Text that is not UTF-8 at all gives its bytes back as they are.
  EXPECT_EQ(byte_text::FromText(Bytes({'x', 0xFF, 0xC3})), Bytes({'x', 0xFF, 0xC3}));
}

// Overlong forms of three lengths, both ends of the surrogates, above
// U+10FFFF, cut short, and a lead byte no character has.
TEST(ByteTextTest, BrokenSequencesStandByteByByte) {
  for (const std::string& bytes :
       {Bytes({0xC0, 0xAF}), Bytes({0xE0, 0x80, 0xAF}), Bytes({0xF0, 0x80, 0x80, 0xAF}),
        Bytes({0xED, 0xA0, 0x80}), Bytes({0xED, 0xBF, 0xBF}), Bytes({0xF4, 0x90, 0x80, 0x80}),
        Bytes({0xE2, 0x82}), Bytes({0xF8, 0x88})}) {
    EXPECT_EQ(byte_text::ToText(bytes + "A"), StandingEach(bytes) + "A");
    ExpectRoundTrip(bytes);
  }
  // A broken lead byte stands alone and the character after it is read whole.
  const std::string euro = Bytes({0xE2, 0x82, 0xAC});
  EXPECT_EQ(byte_text::ToText(Bytes({0xE2, 0x82}) + euro), Standing(0xE2) + Standing(0x82) + euro);
}

TEST(ByteTextTest, CharactersOfTheByteRangeAreTakenApart) {
  for (const int byte : {0x00, 0x41, 0xFF}) {
    EXPECT_EQ(byte_text::ToText(Standing(byte)), StandingEach(Standing(byte)));
    ExpectRoundTrip(std::string("A") + Standing(byte) + "B");
  }
  EXPECT_EQ(byte_text::FromText(Standing(0x41)), "A");
}

TEST(ByteTextTest, Base64KnownVectors) {
  const std::pair<std::string, std::string> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"},
                                                         {Bytes({0xFB, 0xFF}), "+/8="}};
  for (const auto& [bytes, text] : vectors) {
    EXPECT_EQ(byte_text::ToBase64(bytes), text);
    std::string back = "junk";
    EXPECT_TRUE(byte_text::FromBase64(text, &back)) << text;
    EXPECT_EQ(back, bytes);
  }
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  for (std::size_t length = 0; length <= all.size(); length += 37) {
    std::string back;
    EXPECT_TRUE(byte_text::FromBase64(byte_text::ToBase64(all.substr(0, length)), &back));
    EXPECT_EQ(back, all.substr(0, length));
  }
}

TEST(ByteTextTest, Base64RefusesAnythingElse) {
  const std::string refused[] = {
      "Zg",     "Zg=",   "Zm9vY", "Zg==Zg==", "====", "Z===", "Zg=a", "Zm-v",    "Zm_v",
      "Zm9v\n", " Zm9v", "Zm 9v", "Zm9v====", "Zh==", "Zm9=", "Zm8",  "Zm\x80v", std::string("Zm\0v", 4)};
  for (const std::string& text : refused) {
    std::string bytes = "junk";
    EXPECT_FALSE(byte_text::FromBase64(text, &bytes)) << text;
    EXPECT_EQ(bytes, "");
  }
}

}  // namespace
