#ifndef OSSIVAR_PLATFORM_JSON_TEXT_H
#define OSSIVAR_PLATFORM_JSON_TEXT_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Just enough JSON for recordings: the game depends on no library, and a
// recording is one JSON object and then one JSON array a line.
namespace json_text {

// `text` (valid UTF-8) as a JSON string, quotes included. Control
// characters (DEL too), the quote and the backslash are escaped (\n, \r,
// \t, \b, \f by name, the rest as \u00xx); everything else passes as it is.
std::string Quote(std::string_view text);

// A parsed JSON value. Numbers keep their text as written, so a count or a
// time stamp is never rounded through a double.
struct value {
  enum class kind { kNull, kBoolean, kNumber, kString, kArray, kObject };

  // The destructor is defined out of line: made here, it would need the
  // member pair complete while the pair is still waiting for value.
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

  // The first member of that name, or nullptr (also when this is not an
  // object).
  const value* Find(std::string_view name) const;
};

// Parses one whole JSON text (white space around it allowed); false, with
// `problem` saying what and where in a few words ("unexpected character at
// byte 17", counted from 0) and `out` a null value, when it is not one.
// Text that is not valid UTF-8, and escapes that make none (a lone
// surrogate), are refused. Nesting deeper than 64 levels is refused, not
// followed.
bool Parse(std::string_view text, value* out, std::string* problem);

}  // namespace json_text

#endif
