#ifndef OSSIVAR_PLATFORM_KEY_SEQUENCE_H
#define OSSIVAR_PLATFORM_KEY_SEQUENCE_H

#include <cstddef>
#include <string>
#include <string_view>

// Arrow and function keys reach a terminal program as escape sequences:
// ESC, then '[' or 'O' and a few more bytes. These rules tell which bytes
// belong to one, so a key wait can take such a key whole and a typed line
// can be rid of it.
namespace key_sequence {

// How long the rest of a key may take after its first byte. Over a slow
// link the bytes of one key arrive apart.
constexpr int kGraceMilliseconds = 200;

// No key is longer; a stream of junk ends a key wait here.
constexpr std::size_t kLongestKey = 16;

// Follows a stream of input bytes across any number of reads.
class escape_filter {
 public:
  // False when the byte belongs to an escape sequence and is to be dropped.
  // A lone ESC followed by other text is dropped and the text kept.
  bool Keep(unsigned char byte);

  // True while a sequence has begun and not ended.
  bool Inside() const { return state_ != state::kText; }

 private:
  enum class state { kText, kEscape, kControl, kControlBody, kLinuxFunction, kSingleShift };
  state state_ = state::kText;
};

// True when `bytes`, read by a key wait since its first byte, make one
// whole key: a plain byte, a whole UTF-8 character or a whole escape
// sequence. A sequence that breaks off counts as whole with the byte that
// broke it.
bool WholeKey(std::string_view bytes);

// Gives the next byte of input, waiting at most `milliseconds` for it (-1:
// as long as it takes); false when none came.
using byte_source = bool (*)(unsigned char* byte, int milliseconds);

// Reads one whole key from `next`, giving each byte after the first the
// grace period; false when not even a first byte came.
bool ReadKey(byte_source next, std::string* key);

}  // namespace key_sequence

#endif
