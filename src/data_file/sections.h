#ifndef OSSIVAR_DATA_FILE_SECTIONS_H
#define OSSIVAR_DATA_FILE_SECTIONS_H

#include <cstring>
#include <deque>

#include "data_file/io_file.h"
#include "model/fields.h"

// The four sections of a data file, in the order the writer emits them.
// Reading, writing and the content tool all go by this table.
namespace sections {

struct info {
  const char* tag;         // 4 bytes, not zero-terminated
  const char* report;      // the line reading prints when not quiet
  const char* collection;  // the collection's name, plural
  const char* noun;        // one record of it
  record_kind kind;
};

template <class Record>
struct section {
  info about;
  std::deque<Record> tov_file::*records;
};

inline const section<race> kRaces{{tov_file::kTagRace, "READ RACE DATA", "races", "race", record_kind::kRace},
                                  &tov_file::races};
inline const section<career> kCareers{
    {tov_file::kTagCareer, "READ CAREER DATA", "careers", "career", record_kind::kCareer},
    &tov_file::careers};
inline const section<actor> kActors{
    {tov_file::kTagActor, "READ ACTOR DATA", "actors", "actor", record_kind::kActor}, &tov_file::actors};
inline const section<party> kParties{
    {tov_file::kTagParty, "READ PARTY DATA", "parties", "party", record_kind::kParty}, &tov_file::parties};

// Calls act(section) for each section, in writing order.
template <class Act>
void ForEach(Act&& act) {
  act(kRaces);
  act(kCareers);
  act(kActors);
  act(kParties);
}

// Calls act(section) for the section the tag's bytes name; false when
// they name none.
template <class Act>
bool ForTag(const char* tag, Act&& act) {
  bool found = false;
  ForEach([&](const auto& s) {
    if (!found && std::memcmp(tag, s.about.tag, sizeof section_frame::tag) == 0) {
      found = true;
      act(s);
    }
  });
  return found;
}

}  // namespace sections

#endif
