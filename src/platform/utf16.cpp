#include "platform/utf16.h"

#include "platform/utf8.h"

namespace utf16 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at `at`, or U+FFFD for a bad byte, which is passed over
// on its own.
char32_t Decode(std::string_view text, std::size_t at, std::size_t* used) {
  char32_t code = 0;
  return utf8::Decode(text, at, &code, used) ? code : kReplacement;
}

void Append(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out.push_back(static_cast<char16_t>(code));
    return;
  }
  code -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

}  // namespace

bool High(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool Low(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char32_t Pair(char16_t high, char16_t low) {
  return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    std::size_t used = 1;
    Append(out, Decode(text, at, &used));
    at += used;
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t unit = text[at];
    if (High(unit) && at + 1 < text.size() && Low(text[at + 1])) {
      utf8::Append(out, Pair(unit, text[at + 1]));
      ++at;
    } else {
      utf8::Append(out, High(unit) || Low(unit) ? kReplacement : unit);
    }
  }
  return out;
}

std::size_t IncompleteTail(std::string_view text) {
  // A character is at most four bytes, so its start is among the last three.
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if (utf8::Continuation(byte)) continue;
    const std::size_t length = utf8::LengthFrom(byte);
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace utf16
