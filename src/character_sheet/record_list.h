#ifndef OSSIVAR_CHARACTER_SHEET_RECORD_LIST_H
#define OSSIVAR_CHARACTER_SHEET_RECORD_LIST_H

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

// The creation screens that offer records list them under the sheet. How
// many entries fit before the sheet scrolls off the top follows from what
// is written here: the screens write their lists with it and the content
// tool measures them with it.
namespace CharGen {

struct record_list {
  const char* question;
  // After a blank line, an entry numbered by the record count for what is
  // not a record yet (the custom career); none when null.
  const char* last_entry;
};

inline constexpr record_list kRaceList{"What race are you?", nullptr};
inline constexpr record_list kCareerList{"What is your career?", "Custom"};

void WriteQuestion(std::ostream& out, const record_list& list);
// "ID) NAME", then the next line's indent.
void WriteEntry(std::ostream& out, const std::uint64_t& number, const std::string_view& name);
void WriteLastEntry(std::ostream& out, const record_list& list, const std::size_t& record_count);

// Everything under the sheet up to the line the player types on: the
// question, an entry for each playable record in the file's order, and the
// last entry.
template <typename Collection>
void WriteList(std::ostream& out, const record_list& list, const Collection& records) {
  WriteQuestion(out, list);
  for (const auto& r : records) {
    if (r.playable) WriteEntry(out, r.ID(), std::string_view(r.name.text(), r.name.length));
  }
  WriteLastEntry(out, list, records.size());
}

// The terminal lines a screen of the sheet and `below` takes; a line wider
// than the screen wraps onto the next.
int ScreenLines(const std::string& below);

// The lines the list screen takes with these records, from the sheet to the
// line the player types on.
template <typename Collection>
int ScreenLines(const record_list& list, const Collection& records) {
  std::ostringstream below;
  WriteList(below, list, records);
  return ScreenLines(below.str());
}

}  // namespace CharGen

#endif
