#ifndef OSSIVAR_PLATFORM_JSON_TEXT_H
#define OSSIVAR_PLATFORM_JSON_TEXT_H

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Just enough JSON for recordings: the game depends on no library, and a
// recording is one JSON object and then one JSON array a line.
namespace json_text {

// `text` (valid UTF-8) as a JSON string, quotes included. Control
// characters, the quote and the backslash are escaped (\n, \r, \t, \b, \f
// by name, the rest as \u00XX); everything else passes as it is.
std::string Quote(std::string_view text);

// A parsed JSON value. Numbers keep their text as written, so a count or a
// time stamp is never rounded through a double.
struct value {
  enum class kind { kNull, kBoolean, kNumber, kString, kArray, kObject };

  // The destructor is defined where value is complete: a member pair of a
  // value inside value cannot be instantiated before that.
  value() = default;
  value(const value&) = default;
  value(value&&) noexcept = default;
  value& operator=(const value&) = default;
  value& operator=(value&&) noexcept = default;
  ~value();

  kind type = kind::kNull;
  bool boolean = false;
  std::string text;          // a string's UTF-8 (escapes resolved), or a number as written
  std::vector<value> items;  // an array's
  std::vector<std::pair<std::string, value>> members;  // an object's, in order

  // The member of that name, or nullptr (also when this is not an object).
  const value* Find(std::string_view name) const;
};

// Parses one whole JSON text (white space around it allowed); false, with
// `problem` saying what and where in a few words, when it is not one.
// Strings with escapes that make no valid UTF-8 (a lone surrogate) are
// refused. Nesting deeper than 64 levels is refused, not followed.
bool Parse(std::string_view text, value* out, std::string* problem);

}  // namespace json_text

#endif
