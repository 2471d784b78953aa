#ifndef OSSIVAR_TESTS_FUZZ_DATA_FILE_WALK_H
#define OSSIVAR_TESTS_FUZZ_DATA_FILE_WALK_H

// Reads through every pointer a loaded data file's records hold, so that a
// dangling or wild one shows under the address sanitizer. Shared by the
// fuzzer and the tests that replay its findings.

#include <cstddef>
#include <cstdlib>

#include "data_file/io_file.h"

namespace data_file_walk {

inline volatile std::size_t g_sink = 0;

inline void Touch(const actor& a) {
  std::size_t sum = a.name.str().size() + a.virtue->strengthens + a.vice->strengthens;
  if (a.race != nullptr) sum += a.race->name.str().size() + a.race->description.str().size() + a.race->vice->weakens;
  if (a.career != nullptr) sum += a.career->name.str().size() + a.career->modifiers[0];
  for (int i = 0; i < 9; ++i) sum += a.Stat(i)->get_max(true);
  for (const element& e : a.elements) sum += e.value;
  g_sink = g_sink + sum;
}

// Aborts when a party's member list disagrees with its count.
inline void Walk(const tov_file& file) {
  for (const race& r : file.races) g_sink = g_sink + r.name.str().size() + r.virtue->weakens + r.vice->weakens;
  for (const career& c : file.careers) g_sink = g_sink + c.description.str().size();
  for (const actor& a : file.actors) Touch(a);
  for (const party& group : file.parties) {
    if (group.members.size() != group.member_count) std::abort();
    for (const actor* member : group.members) Touch(*member);
  }
}

}  // namespace data_file_walk

#endif
