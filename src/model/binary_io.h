#ifndef OSSIVAR_MODEL_BINARY_IO_H
#define OSSIVAR_MODEL_BINARY_IO_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

// Where the file forms' bytes come from and go to. Readers take them from a
// stream or straight from memory, writers give them to a stream or append
// them to a string; the rules of the forms are the same either way.
// Integers are little-endian. A read that runs out of bytes delivers zeros
// for the missing ones and marks the source cut short.
namespace binary_io {

// Whether a record is written in its console form: only the process's own
// standard output object gets it, every other stream gets the file form.
bool IsConsole(const std::ostream& out);

// Bytes in memory, read from `pos` on.
class memory_source {
 public:
  memory_source(const char* data, const std::size_t& size, const std::size_t& start = 0)
      : pos(start), data_(data), size_(size) {}

  // Over bytes that outlive everything read from them, which then lends
  // its texts in place (see LendText) instead of having them copied.
  static memory_source Lending(char* data, const std::size_t& size, const std::size_t& start) {
    memory_source source(data, size, start);
    source.lending_ = reinterpret_cast<unsigned char*>(data);
    return source;
  }

  std::size_t pos;
  bool cut_short = false;

  std::size_t left() const { return pos < size_ ? size_ - pos : 0; }

  // Where the next text, with a length prefix `width` bytes wide, starts
  // in the bytes; the text is then passed over. nullptr, with nothing
  // read, when this source does not lend or the bytes do not hold the
  // whole text.
  unsigned char* LendText(const std::uint32_t& width) {
    if (lending_ == nullptr || left() < width) return nullptr;
    std::size_t length = 0;
    for (std::uint32_t i = 0; i < width; ++i) length |= std::size_t{lending_[pos + i]} << (8 * i);
    if (left() - width < length) return nullptr;
    unsigned char* text = lending_ + pos;
    pos += width + length;
    return text;
  }

  void Read(unsigned char* to, const std::size_t& n) {
    // The usual case on its own, so that a fixed width compiles to one move.
    if (n <= left()) {
      std::memcpy(to, data_ + pos, n);
      pos += n;
      return;
    }
    const std::size_t got = left();
    if (got > 0) std::memcpy(to, data_ + pos, got);
    std::memset(to + got, 0, n - got);
    cut_short = true;
    pos += got;
  }

 private:
  const char* data_;
  std::size_t size_;
  unsigned char* lending_ = nullptr;
};

// A stream, as the extraction operators read it.
class stream_source {
 public:
  explicit stream_source(std::istream& in) : in_(in) {}

  bool cut_short = false;

  void Read(unsigned char* to, const std::size_t& n) {
    in_.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(n));
    const std::size_t got = static_cast<std::size_t>(in_.gcount());
    if (got < n) {
      std::memset(to + got, 0, n - got);
      cut_short = true;
    }
  }

 private:
  std::istream& in_;
};

class string_sink {
 public:
  explicit string_sink(std::string& out) : out_(out) {}

  static constexpr bool console = false;

  void Write(const void* bytes, const std::size_t& n) { out_.append(static_cast<const char*>(bytes), n); }

 private:
  std::string& out_;
};

// On the process's standard output object texts lose their length prefix
// (the console form); everything else stays bytes.
class stream_sink {
 public:
  explicit stream_sink(std::ostream& out) : console(IsConsole(out)), out_(out) {}

  const bool console;

  void Write(const void* bytes, const std::size_t& n) {
    out_.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(n));
  }

 private:
  std::ostream& out_;
};

// An unsigned integer of `width` bytes (1 to 4).
template <class Source>
std::uint32_t ReadNumber(Source& in, const std::uint32_t& width) {
  unsigned char bytes[4];
  in.Read(bytes, width);
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return value;
}

template <class Sink>
void WriteNumber(Sink& out, const std::uint32_t& value, const std::uint32_t& width) {
  unsigned char bytes[4];
  for (std::uint32_t i = 0; i < width; ++i) bytes[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
  out.Write(bytes, width);
}

}  // namespace binary_io

#endif
