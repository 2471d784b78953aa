#ifndef OSSIVAR_TOOLS_TOV_JSON_FORM_H
#define OSSIVAR_TOOLS_TOV_JSON_FORM_H

#include <nlohmann/json.hpp>
#include <string>

#include "loaded.h"

// The JSON form authors edit: every field of every record in the order the
// file stores them, stat values both raw (8.8 fixed point) and in points,
// aspects by name, and beside every reference the name of the record the
// game resolves it to.
namespace json_form {

nlohmann::ordered_json Dump(const tov::loaded& file);

// Reads the form back into records, walking each record's field list, and
// resolves references as the game resolves them; every record keeps its
// JSON path. Authors may also give stat values as plain points (1.5),
// aspects by name in any letter case, and references by name alone. Every
// field that cannot be stored exactly as given is a problem, named by its
// JSON path; the records are complete only when there is none.
tov::loaded Read(const std::string& text);

// The dump of a file holding one record of each kind as made, each party
// with one member. Its keys, at every level, are those the JSON form has.
const nlohmann::ordered_json& Shape();

// Indented JSON that keeps small objects on one line, so a record reads
// as a short block rather than a column of braces. Ends with a newline.
std::string Format(const nlohmann::ordered_json& document);

// Texts are bytes; each byte becomes the character of the same number
// (U+0000 to U+00FF), so any text survives the trip through JSON.
std::string ToUtf8(const std::string& bytes);

// The key JSON gives the name beside a reference: "race" for "race_id";
// "" for a key that is no reference's.
std::string NameKey(const std::string& reference_key);

}  // namespace json_form

#endif
