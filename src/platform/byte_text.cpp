#include "platform/byte_text.h"

#include "platform/utf8.h"

namespace byte_text {
namespace {

// Where the 256 characters that stand for single bytes begin.
constexpr char32_t kByteBase = 0x10FF00;

bool StandsForByte(char32_t code) { return code >= kByteBase; }

void AppendByte(std::string& out, char byte) {
  utf8::Append(out, kByteBase + static_cast<unsigned char>(byte));
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// A character's six bits; -1 for one outside the alphabet (padding too).
int SixBits(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// One group of four characters to its one to three bytes; false when it is
// not what ToBase64 writes (`last` says padding may end it).
bool DecodeGroup(std::string_view group, const bool& last, std::string* bytes) {
  std::size_t padding = 0;
  if (last && group[3] == '=') padding = group[2] == '=' ? 2 : 1;
  unsigned long bits = 0;
  for (std::size_t i = 0; i < 4 - padding; ++i) {
    const int six = SixBits(group[i]);
    if (six < 0) return false;
    bits = (bits << 6) | static_cast<unsigned long>(six);
  }
  bits <<= 6 * padding;
  // The bits padding hides must be zero, or two texts would give one result.
  const unsigned long hidden = padding == 2 ? 0xFFFFul : padding == 1 ? 0xFFul : 0;
  if ((bits & hidden) != 0) return false;
  for (std::size_t i = 0; i < 3 - padding; ++i)
    bytes->push_back(static_cast<char>((bits >> (16 - 8 * i)) & 0xFF));
  return true;
}

}  // namespace

std::string ToText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t code = 0;
    std::size_t used = 1;
    const bool valid = utf8::Decode(bytes, at, &code, &used);
    if (!valid || StandsForByte(code)) {
      // A character of the byte range is taken apart too, so that reading
      // back never mistakes it for a byte that stood alone.
      for (std::size_t i = 0; i < used; ++i) AppendByte(text, bytes[at + i]);
    } else {
      text.append(bytes.substr(at, used));
    }
    at += used;
  }
  return text;
}

std::string FromText(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    char32_t code = 0;
    std::size_t used = 1;
    if (utf8::Decode(text, at, &code, &used) && StandsForByte(code)) {
      bytes.push_back(static_cast<char>(code - kByteBase));
    } else {
      bytes.append(text.substr(at, used));
    }
    at += used;
  }
  return bytes;
}

std::string ToBase64(std::string_view bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t count = bytes.size() - at < 3 ? bytes.size() - at : 3;
    unsigned long bits = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      const unsigned long byte = i < count ? static_cast<unsigned char>(bytes[at + i]) : 0;
      bits = (bits << 8) | byte;
    }
    for (std::size_t i = 0; i < 4; ++i) {
      text.push_back(i <= count ? kAlphabet[(bits >> (18 - 6 * i)) & 0x3F] : '=');
    }
  }
  return text;
}

bool FromBase64(std::string_view text, std::string* bytes) {
  bytes->clear();
  if (text.size() % 4 != 0) return false;
  bytes->reserve(text.size() / 4 * 3);
  for (std::size_t at = 0; at < text.size(); at += 4) {
    if (!DecodeGroup(text.substr(at, 4), at + 4 == text.size(), bytes)) {
      bytes->clear();
      return false;
    }
  }
  return true;
}

}  // namespace byte_text
