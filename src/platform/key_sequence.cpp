#include "platform/key_sequence.h"

namespace key_sequence {
namespace {

constexpr unsigned char kEscape = 0x1b;

// ECMA-48 byte classes of a control sequence.
bool Parameter(unsigned char byte) { return byte >= 0x20 && byte <= 0x3f; }
bool Final(unsigned char byte) { return byte >= 0x40 && byte <= 0x7e; }
bool Printable(unsigned char byte) { return byte >= 0x20 && byte <= 0x7e; }

bool Continuation(unsigned char byte) { return (byte & 0xc0) == 0x80; }

// Bytes of a UTF-8 character from its first byte; 1 for anything else.
std::size_t Utf8Length(unsigned char first) {
  if (first >= 0xf0 && first <= 0xf7) return 4;
  if (first >= 0xe0) return first <= 0xef ? 3 : 1;
  if (first >= 0xc0) return 2;
  return 1;
}

bool WholeCharacter(std::string_view bytes) {
  const std::size_t length = Utf8Length(static_cast<unsigned char>(bytes.front()));
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    if (!Continuation(static_cast<unsigned char>(bytes[i]))) return true;
  }
  return bytes.size() >= length;
}

bool WholeEscape(std::string_view bytes) {
  escape_filter filter;
  for (const char byte : bytes) {
    if (filter.Keep(static_cast<unsigned char>(byte))) return true;
  }
  return !filter.Inside();
}

}  // namespace

bool escape_filter::Keep(unsigned char byte) {
  switch (state_) {
    case state::kText:
      break;
    case state::kEscape:
      if (byte == '[') {
        state_ = state::kControl;
        return false;
      }
      if (byte == 'O') {
        state_ = state::kSingleShift;
        return false;
      }
      break;
    case state::kControl:
      // The Linux console sends its F1 to F5 as ESC [ [ and one letter.
      if (byte == '[') {
        state_ = state::kLinuxFunction;
        return false;
      }
      [[fallthrough]];
    case state::kControlBody:
      if (Parameter(byte)) {
        state_ = state::kControlBody;
        return false;
      }
      if (Final(byte)) {
        state_ = state::kText;
        return false;
      }
      break;
    case state::kLinuxFunction:
    case state::kSingleShift:
      if (Printable(byte)) {
        state_ = state::kText;
        return false;
      }
      break;
  }
  // A byte that cannot go on a sequence is text again; ESC starts a new one.
  state_ = byte == kEscape ? state::kEscape : state::kText;
  return byte != kEscape;
}

bool WholeKey(std::string_view bytes) {
  if (bytes.empty()) return false;
  const auto first = static_cast<unsigned char>(bytes.front());
  if (first == kEscape) return WholeEscape(bytes);
  return WholeCharacter(bytes);
}

bool ReadKey(byte_source next, std::string* key) {
  unsigned char byte = 0;
  if (!next(&byte, -1)) return false;
  key->assign(1, static_cast<char>(byte));
  while (!WholeKey(*key) && key->size() < kLongestKey && next(&byte, kGraceMilliseconds)) {
    key->push_back(static_cast<char>(byte));
  }
  return true;
}

}  // namespace key_sequence
