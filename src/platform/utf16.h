#ifndef OSSIVAR_PLATFORM_UTF16_H
#define OSSIVAR_PLATFORM_UTF16_H

#include <cstddef>
#include <string>
#include <string_view>

// The game's text is UTF-8 bytes everywhere, in files and on screen alike;
// systems whose own calls take UTF-16 (Windows) convert at their edge.
// A byte or unit that is no valid character becomes U+FFFD, so nothing is
// ever silently dropped or cut short.
namespace utf16 {

std::u16string FromUtf8(std::string_view text);
std::string ToUtf8(std::u16string_view text);

// How many bytes at the end of `text` begin a character that is not yet
// complete (0 to 3): what a writer holds back until the rest arrives.
std::size_t IncompleteTail(std::string_view text);

// The two halves of a surrogate pair, and the character a pair stands for.
bool High(char16_t unit);
bool Low(char16_t unit);
char32_t Pair(char16_t high, char16_t low);

}  // namespace utf16

#endif
