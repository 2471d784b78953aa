#ifndef OSSIVAR_PLATFORM_UTF8_H
#define OSSIVAR_PLATFORM_UTF8_H

#include <cstddef>
#include <string>
#include <string_view>

// What counts as a character in UTF-8, said once for every reader of text:
// no overlong forms, no surrogates, nothing above U+10FFFF, nothing cut
// short.
namespace utf8 {

// Bytes of the character a lead byte starts (1 to 4); 0 for a byte no
// character starts with.
std::size_t LengthFrom(unsigned char lead);

bool Continuation(unsigned char byte);

// The character that starts at `at` (which is inside `text`) and its bytes
// in `used`; false, with `used` 1, when no valid character starts there, so
// a bad byte is passed over on its own.
bool Decode(std::string_view text, std::size_t at, char32_t* code, std::size_t* used);

// Appends the character's bytes; `code` is at most U+10FFFF.
void Append(std::string& out, char32_t code);

}  // namespace utf8

#endif
