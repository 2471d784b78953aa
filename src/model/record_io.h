#ifndef OSSIVAR_MODEL_RECORD_IO_H
#define OSSIVAR_MODEL_RECORD_IO_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <vector>

#include "model/aspect.h"
#include "model/binary_io.h"
#include "model/fields.h"
#include "model/pstr.h"

// The game's own visitors of the field lists (model/fields.h): the reader,
// the writer, and the byte count behind every Size().
namespace record_io {

// Fills a record from its file form. A record cut short keeps the fields it
// got; the missing bytes read as zero and the source says it was cut short.
template <class Source>
class field_reader {
 public:
  explicit field_reader(Source& in) : in_(in) {}

  void Size(const char*, const size_field& field) { Number(field.width); }
  void Id(const char*, std::uint32_t& id) { id = Number(4); }
  template <typename T>
  void Text(const char*, pstr<T>& text) {
    // A source over lasting bytes lends the text in place.
    if constexpr (requires { in_.LendText(text.prefix_width); }) {
      if (unsigned char* lent = in_.LendText(text.prefix_width)) {
        text.Borrow(lent);
        return;
      }
    }
    text.ReadFrom(in_);
  }
  void Flag(const char*, bool& flag, const presence&) { flag = Number(1) != 0; }
  void Flag(const char*, unsigned char& flag, const presence&) {
    flag = static_cast<unsigned char>(Number(1));
  }
  void Aspect(const char*, const aspect*& a, const aspect_kind& kind) {
    const int number = static_cast<int>(Number(1));
    a = aspects::Find(kind, number);
  }
  void Reference(const char*, std::uint32_t& id, const record_kind&) { id = Number(4); }
  void References(const char*, std::vector<std::uint32_t>& ids, const record_kind&, const std::size_t&) {
    const std::uint32_t count = Number(1);
    ids.clear();
    ids.reserve(count);
    // An identifier the data cut off was never stored; none is invented.
    for (std::uint32_t i = 0; i < count && !in_.cut_short; ++i) {
      const std::uint32_t id = Number(4);
      if (!in_.cut_short) ids.push_back(id);
    }
  }
  void Points(const char*, unsigned short& value, const presence&) {
    value = static_cast<unsigned short>(Number(2));
  }
  void Affinity(const char*, unsigned char& value) { value = static_cast<unsigned char>(Number(1)); }
  template <class Fields>
  void Group(const char*, Fields&& fields) {
    fields(*this);
  }

 private:
  std::uint32_t Number(const int& width) {
    return binary_io::ReadNumber(in_, static_cast<std::uint32_t>(width));
  }

  Source& in_;
};

// Writes a record's file form; `size` is the record's Size().
template <class Sink>
class field_writer {
 public:
  field_writer(Sink& out, const std::uint32_t& size) : out_(out), size_(size) {}

  void Size(const char*, const size_field& field) { Number(size_, field.width); }
  void Id(const char*, const std::uint32_t& id) { Number(id, 4); }
  template <typename T>
  void Text(const char*, const pstr<T>& text) {
    text.WriteTo(out_);
  }
  void Flag(const char*, const bool& flag, const presence&) { Number(flag ? 1 : 0, 1); }
  void Flag(const char*, const unsigned char& flag, const presence&) { Number(flag, 1); }
  // Only a record still being made has no aspect; it is written as 0.
  void Aspect(const char*, const aspect* const& a, const aspect_kind&) { Number(a ? a->strengthens : 0, 1); }
  void Reference(const char*, const std::uint32_t& id, const record_kind&) { Number(id, 4); }
  void References(const char*, const std::vector<std::uint32_t>& ids, const record_kind&,
                  const std::size_t&) {
    Number(static_cast<std::uint32_t>(ids.size()), 1);
    for (const std::uint32_t& id : ids) Number(id, 4);
  }
  void Points(const char*, const unsigned short& value, const presence&) { Number(value, 2); }
  void Affinity(const char*, const unsigned char& value) { Number(value, 1); }
  template <class Fields>
  void Group(const char*, Fields&& fields) {
    fields(*this);
  }

 private:
  void Number(const std::uint32_t& value, const int& width) {
    binary_io::WriteNumber(out_, value, static_cast<std::uint32_t>(width));
  }

  Sink& out_;
  std::uint32_t size_;
};

// Counts the bytes of a record's file form.
class byte_counter {
 public:
  std::uint32_t bytes = 0;
  size_field size{0, true};

  void Size(const char*, const size_field& field) {
    size = field;
    bytes += static_cast<std::uint32_t>(field.width);
  }
  void Id(const char*, const std::uint32_t&) { bytes += 4; }
  template <typename T>
  void Text(const char*, const pstr<T>& text) {
    bytes += text.prefix_width + text.length;
  }
  template <typename Value>
  void Flag(const char*, const Value&, const presence&) {
    bytes += 1;
  }
  void Aspect(const char*, const aspect* const&, const aspect_kind&) { bytes += 1; }
  void Reference(const char*, const std::uint32_t&, const record_kind&) { bytes += 4; }
  void References(const char*, const std::vector<std::uint32_t>& ids, const record_kind&,
                  const std::size_t&) {
    bytes += 1 + 4 * static_cast<std::uint32_t>(ids.size());
  }
  void Points(const char*, const unsigned short&, const presence&) { bytes += 2; }
  void Affinity(const char*, const unsigned char&) { bytes += 1; }
  template <class Fields>
  void Group(const char*, Fields&& fields) {
    fields(*this);
  }
};

// The value of a record's size field: its bytes, less the field itself
// unless the field counts itself.
template <class Record>
std::uint32_t Size(const Record& record) {
  byte_counter count;
  record.Fields(count);
  return count.size.counts_itself ? count.bytes : count.bytes - static_cast<std::uint32_t>(count.size.width);
}

// `size` is the record's Size(), for a caller that has it already.
template <class Record, class Sink>
void WriteTo(Sink& out, const Record& record, const std::uint32_t& size) {
  field_writer<Sink> writer(out, size);
  record.Fields(writer);
}

template <class Record, class Sink>
void WriteTo(Sink& out, const Record& record) {
  WriteTo(out, record, Size(record));
}

template <class Record>
void Write(std::ostream& out, const Record& record) {
  binary_io::stream_sink sink(out);
  WriteTo(sink, record);
}

template <class Record, class Source>
void ReadFrom(Source& in, Record& record) {
  field_reader<Source> reader(in);
  record.Fields(reader);
}

template <class Record>
void Read(std::istream& in, Record& record) {
  binary_io::stream_source source(in);
  ReadFrom(source, record);
}

}  // namespace record_io

#endif
