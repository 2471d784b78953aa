#include "platform/utf16.h"

namespace utf16 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the character a lead byte starts; 0 for a byte no character
// starts with.
std::size_t LengthFrom(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The character at `at`, and how many bytes it took (at least one, so a
// bad byte is passed over on its own).
char32_t Decode(std::string_view text, std::size_t at, std::size_t* used) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = LengthFrom(lead);
  *used = 1;
  if (length == 1) return lead;
  if (length == 0 || at + length > text.size()) return kReplacement;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[at + i]);
    if (!Continuation(byte)) return kReplacement;
    code = (code << 6) | (byte & 0x3F);
  }
  // Overlong forms and surrogates are not characters.
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  *used = length;
  return code;
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

void Append(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool High(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool Low(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

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
      Append(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[at + 1] - 0xDC00));
      ++at;
    } else {
      Append(out, High(unit) || Low(unit) ? kReplacement : unit);
    }
  }
  return out;
}

std::size_t IncompleteTail(std::string_view text) {
  // A character is at most four bytes, so its start is among the last three.
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if (Continuation(byte)) continue;
    const std::size_t length = LengthFrom(byte);
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace utf16
