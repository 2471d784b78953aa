#ifndef OSSIVAR_TOOLS_TOV_FIELD_WALK_H
#define OSSIVAR_TOOLS_TOV_FIELD_WALK_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "data_file/frame.h"
#include "data_file/sections.h"
#include "model/aspect.h"
#include "model/fields.h"
#include "model/pstr.h"

namespace tov {

// A visitor of the field lists (model/fields.h, data_file/frame.h) that
// passes over every field. One derived from it, as Derived, declares only
// the kinds of field it looks at; groups are walked with Derived.
template <class Derived>
class field_walk {
 public:
  void Size(const char*, const size_field&) {}
  void Id(const char*, const std::uint32_t&) {}
  template <typename T>
  void Text(const char*, const pstr<T>&) {}
  template <typename Value>
  void Flag(const char*, const Value&, const presence&) {}
  void Aspect(const char*, const aspect* const&, const aspect_kind&) {}
  void Reference(const char*, const std::uint32_t&, const record_kind&) {}
  void References(const char*, const std::vector<std::uint32_t>&, const record_kind&, const std::size_t&) {}
  void Points(const char*, const unsigned short&, const presence&) {}
  void Affinity(const char*, const unsigned char&) {}
  void Mark(const char*, const mark&) {}
  void Date(const char*, const signed char (&)[3]) {}
  template <class Fields>
  void Group(const char*, Fields&& fields) {
    fields(static_cast<Derived&>(*this));
  }
};

// The kinds of record a record's fields refer to.
class referrals : public field_walk<referrals> {
 public:
  std::vector<record_kind> kinds;

  void Reference(const char*, const std::uint32_t&, const record_kind& kind) { kinds.push_back(kind); }
  void References(const char*, const std::vector<std::uint32_t>&, const record_kind& kind,
                  const std::size_t&) {
    kinds.push_back(kind);
  }
};

// What a section's records refer to, as their field list says.
template <class Record>
std::vector<record_kind> RefersTo(const sections::section<Record>&) {
  static const Record kShape;
  referrals found;
  kShape.Fields(found);
  return found.kinds;
}

}  // namespace tov

#endif
