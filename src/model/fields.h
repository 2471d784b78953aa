#ifndef OSSIVAR_MODEL_FIELDS_H
#define OSSIVAR_MODEL_FIELDS_H

#include <cstdint>

#include "model/aspect.h"

// The file form of every record is stated once, as the ordered list of its
// named fields: each record type has
//
//   template <class V> void Fields(V& v);        // for visitors that fill it
//   template <class V> void Fields(V& v) const;  // for visitors that read it
//
// which call, in file order, one member of the visitor per field. Everything
// that reads, writes, sizes, checks or converts a record walks that list, so
// a field added to it reaches every one of them.
//
// The visitor contract. `name` is the field's key (lower case, as the tool's
// JSON uses it); each call says how the field is stored:
//
//   v.Size(name, size_field)          the record size field that opens the
//                                     record; size_field gives its width and
//                                     what it counts (see below)
//   v.Id(name, std::uint32_t&)        the record's own identifier, 4 bytes
//   v.Text(name, pstr<T>&)            a length-prefixed text: T's width of
//                                     length, then the characters
//   v.Flag(name, bool&, presence)     one byte: 0 or 1 written, any non-zero
//                                     read as set
//   v.Flag(name, unsigned char&, presence)
//                                     one byte kept exactly as stored
//   v.Aspect(name, const aspect*&, aspect_kind)
//                                     one byte: the aspect's number within
//                                     its kind; numbers outside 0 to 6 read
//                                     as the seventh of the kind
//   v.Reference(name, std::uint32_t&, record_kind)
//                                     4 bytes: the identifier of a record of
//                                     that kind
//   v.References(name, std::vector<std::uint32_t>&, record_kind, most)
//                                     a 1-byte count, then 4 bytes per
//                                     identifier; a list cut short by the end
//                                     of the data holds only what was there.
//                                     The game allows at most `most` of them
//   v.Points(name, unsigned short&, presence)
//                                     2 bytes: a stat value in 8.8 fixed point
//                                     (256 is one whole point)
//   v.Affinity(name, unsigned char&)  1 byte: an element affinity (128 is 100%)
//   v.Group(name, fields)             a named group of fields, such as one
//                                     stat or the nine modifiers: the visitor
//                                     calls fields(v), or fields(w) with a
//                                     visitor of its own for the group
//
// A presence says whether the tool's JSON form must give the field; the
// identifier may always be left out (it is then the record's position).
//
// Integers are little-endian. In the const form the same calls receive
// const references. A visitor needs nothing from src/model beyond these
// calls, so new consumers (checked readers, converters) are new visitors.

// Whether the tool's JSON form must give a field. One left out keeps what
// a fresh record has.
enum class presence { kRequired, kOptional };

// Which collection a reference points into.
enum class record_kind { kRace, kCareer, kActor, kParty };

// The record size field. Races, careers and actors store a 2-byte count of
// the bytes after the field; parties a 4-byte count of the whole record,
// the field included. Either way the count is the record's Size().
struct size_field {
  int width;
  bool counts_itself;
};

inline constexpr size_field kSizeOfRest{2, false};
inline constexpr size_field kSizeOfWhole{4, true};

#endif
