#ifndef OSSIVAR_DATA_FILE_FRAME_H
#define OSSIVAR_DATA_FILE_FRAME_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "model/binary_io.h"
#include "model/fields.h"
#include "model/pstr.h"

// The frame around the records: the file's header and each section's
// header, stated once as field lists like the records' (model/fields.h).
// The header's list is tov_file::HeaderFields, the section's
// section_frame::Fields. Besides Size and Text of the records' contract,
// their visitors take
//
//   v.Mark(name, mark)                bytes every data file has there
//   v.Date(name, signed char (&)[3])  year within the century, month and
//                                     day, a byte each; the writer stamps
//                                     today's unless the date is given, so
//                                     the tool's JSON form may leave it out
//   v.Tag(name, char (&)[4])          the 4 characters naming a section
//   v.Number(name, T&)                an unsigned integer of T's width
//
// The header's size field (kSizeOfHeader) counts the whole header: the
// first section starts where it says.

// Bytes every data file has at their place. A reader compares the first
// `compared` of them, as far as the file has them, and refuses the file
// with `refusal` when they differ; when `whole`, a file too short to hold
// all of them is refused as well.
struct mark {
  const char* bytes;
  int width;
  int compared;
  int refusal;
  bool whole;
};

inline constexpr size_field kSizeOfHeader{2, true};

// The JSON form's parts of a date, in file order.
inline constexpr const char* kDateParts[3] = {"year", "month", "day"};

// What opens every section: its tag, its length and its record count.
struct section_frame {
  char tag[4] = {0, 0, 0, 0};
  // No reader uses it; it counts this many bytes besides the records' Size()s.
  std::uint32_t length = 0;
  std::uint16_t count = 0;

  static constexpr std::uint32_t kLengthBesideRecords = 8;
  // The count cannot hold more; a collection larger than this cannot be written.
  static constexpr std::size_t kMostRecords = std::numeric_limits<decltype(count)>::max();

  template <class V>
  void Fields(V& v) {
    FieldsOf(*this, v);
  }
  template <class V>
  void Fields(V& v) const {
    FieldsOf(*this, v);
  }

 private:
  template <class Self, class V>
  static void FieldsOf(Self& self, V& v) {
    v.Tag("tag", self.tag);
    v.Number("length", self.length);
    v.Number("count", self.count);
  }
};

// The game's own visitors of the frame's field lists.
namespace frame_io {

// Reads a frame from bytes in memory. After a mark refuses the file it
// reads nothing more; a frame cut short marks the source so.
class reader {
 public:
  explicit reader(binary_io::memory_source& in) : in_(in) {}

  int refusal = 0;         // the refusing mark's, else 0
  std::uint32_t size = 0;  // as the size field stores it

  void Mark(const char*, const mark& m) {
    if (refusal != 0) return;
    const std::size_t had = std::min(in_.left(), static_cast<std::size_t>(m.width));
    const std::size_t compared = std::min(had, static_cast<std::size_t>(m.compared));
    unsigned char bytes[8] = {};
    in_.Read(bytes, static_cast<std::size_t>(m.width));
    if ((m.whole && had < static_cast<std::size_t>(m.width)) || std::memcmp(bytes, m.bytes, compared) != 0)
      refusal = m.refusal;
  }
  void Date(const char*, signed char (&date)[3]) {
    if (refusal == 0) in_.Read(reinterpret_cast<unsigned char*>(date), sizeof date);
  }
  void Size(const char*, const size_field& field) {
    if (refusal == 0) size = Number(field.width);
  }
  template <typename T>
  void Text(const char*, pstr<T>& text) {
    if (refusal == 0) text.ReadFrom(in_);
  }
  void Tag(const char*, char (&tag)[4]) {
    if (refusal == 0) in_.Read(reinterpret_cast<unsigned char*>(tag), sizeof tag);
  }
  template <typename T>
  void Number(const char*, T& value) {
    if (refusal == 0) value = static_cast<T>(Number(sizeof(T)));
  }

 private:
  std::uint32_t Number(const std::size_t& width) {
    return binary_io::ReadNumber(in_, static_cast<std::uint32_t>(width));
  }

  binary_io::memory_source& in_;
};

// Writes a frame; `size` is what its size field holds.
template <class Sink>
class writer {
 public:
  writer(Sink& out, const std::uint32_t& size) : out_(out), size_(size) {}

  void Mark(const char*, const mark& m) { out_.Write(m.bytes, static_cast<std::size_t>(m.width)); }
  void Date(const char*, const signed char (&date)[3]) { out_.Write(date, sizeof date); }
  void Size(const char*, const size_field& field) { Number(size_, field.width); }
  template <typename T>
  void Text(const char*, const pstr<T>& text) {
    text.WriteTo(out_);
  }
  void Tag(const char*, const char (&tag)[4]) { out_.Write(tag, sizeof tag); }
  template <typename T>
  void Number(const char*, const T& value) {
    Number(value, sizeof(T));
  }

 private:
  void Number(const std::uint32_t& value, const std::size_t& width) {
    binary_io::WriteNumber(out_, value, static_cast<std::uint32_t>(width));
  }

  Sink& out_;
  std::uint32_t size_;
};

// Counts a frame's bytes.
class counter {
 public:
  std::size_t bytes = 0;

  void Mark(const char*, const mark& m) { bytes += static_cast<std::size_t>(m.width); }
  void Date(const char*, const signed char (&date)[3]) { bytes += sizeof date; }
  void Size(const char*, const size_field& field) { bytes += static_cast<std::size_t>(field.width); }
  template <typename T>
  void Text(const char*, const pstr<T>& text) {
    bytes += text.prefix_width + text.length;
  }
  void Tag(const char*, const char (&tag)[4]) { bytes += sizeof tag; }
  template <typename T>
  void Number(const char*, const T&) {
    bytes += sizeof(T);
  }
};

// The bytes of a frame as it stands; for a section's, the bytes of every one.
template <class Frame>
std::size_t Bytes(const Frame& frame) {
  counter count;
  frame.Fields(count);
  return count.bytes;
}

template <class Sink>
void Write(Sink& out, const section_frame& frame) {
  writer<Sink> write(out, 0);
  frame.Fields(write);
}

// False, with nothing read, when the bytes left cannot hold the whole frame.
inline bool Read(binary_io::memory_source& in, section_frame& frame) {
  if (in.left() < Bytes(frame)) return false;
  reader read(in);
  frame.Fields(read);
  return true;
}

}  // namespace frame_io

#endif
