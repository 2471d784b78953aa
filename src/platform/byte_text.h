#ifndef OSSIVAR_PLATFORM_BYTE_TEXT_H
#define OSSIVAR_PLATFORM_BYTE_TEXT_H

#include <string>
#include <string_view>

// Bytes as text and back, without losing any: what the game wrote and read
// is kept in recordings, which are JSON and so must be valid UTF-8, yet a
// player's name typed on a Latin-1 terminal is not.
//
// Every valid UTF-8 character passes as it is, so recordings stay readable
// and players show them as they were. A byte that is not part of a valid
// character stands as one of the 256 private-use characters U+10FF00 to
// U+10FFFF (U+10FF00 + the byte); a character of that range that was there
// to begin with is taken apart into its four bytes, each standing the same
// way, so that reading back is never ambiguous.
namespace byte_text {

// Any bytes to valid UTF-8.
std::string ToText(std::string_view bytes);

// The bytes ToText was given. Text that is not valid UTF-8 (which ToText
// never makes) gives its bytes as they are.
std::string FromText(std::string_view text);

// Binary files in recordings: standard Base64 with padding.
std::string ToBase64(std::string_view bytes);
// False (and `bytes` empty) for anything that is not such Base64.
bool FromBase64(std::string_view text, std::string* bytes);

}  // namespace byte_text

#endif
