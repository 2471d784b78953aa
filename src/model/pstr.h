#ifndef OSSIVAR_MODEL_PSTR_H
#define OSSIVAR_MODEL_PSTR_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <string>

#include "model/binary_io.h"

// A length-prefixed string. Its one buffer holds the little-endian length
// followed by the characters, which is also its exact file form.
// Copies are deep, so every record owns its own text.
template <typename T>
class pstr {
 public:
  T length = 0;
  std::uint32_t prefix_width = sizeof(T);
  unsigned char* data = nullptr;

  pstr() = default;

  // Texts longer than the prefix can count keep their first characters.
  explicit pstr(const char* text) {
    const std::size_t n = text ? std::strlen(text) : 0;
    Assign(text, std::min<std::size_t>(n, std::numeric_limits<T>::max()));
  }

  pstr(const pstr& other) { Assign(other.text(), other.length); }
  pstr(pstr&& other) noexcept { Swap(other); }
  pstr& operator=(const pstr& other) {
    if (this != &other) {
      pstr copy(other);
      Swap(copy);
    }
    return *this;
  }
  pstr& operator=(pstr&& other) noexcept {
    if (this != &other) {
      pstr moved(std::move(other));
      Swap(moved);
    }
    return *this;
  }
  ~pstr() { delete[] data; }

  // The characters behind the prefix (not zero-terminated).
  const char* text() const { return data ? reinterpret_cast<const char*>(data + prefix_width) : ""; }
  std::string str() const { return std::string(text(), length); }

  // Reads prefix and characters; a short read leaves the missing
  // characters zero but keeps the length that was read.
  template <class Source>
  void ReadFrom(Source& in) {
    const T n = static_cast<T>(binary_io::ReadNumber(in, prefix_width));
    in.Read(Reset(n), n);
  }

  // The file form, or the characters alone on the console.
  template <class Sink>
  void WriteTo(Sink& out) const {
    if (!out.console) binary_io::WriteNumber(out, length, prefix_width);
    out.Write(text(), length);
  }

  void Read(std::istream& in) {
    binary_io::stream_source source(in);
    ReadFrom(source);
  }

  void Write(std::ostream& out) const {
    binary_io::stream_sink sink(out);
    WriteTo(sink);
  }

  // Replaces the text by `new_length` zero characters, for a reader to
  // fill in place; returns where they start.
  unsigned char* Reset(const T& new_length) {
    delete[] data;
    data = nullptr;
    length = new_length;
    data = new unsigned char[prefix_width + length]();
    StorePrefix();
    return data + prefix_width;
  }

 private:
  void Assign(const char* text, std::size_t n) {
    length = static_cast<T>(n);
    data = new unsigned char[prefix_width + length];
    StorePrefix();
    if (length > 0) std::memcpy(data + prefix_width, text, length);
  }
  void StorePrefix() {
    for (std::uint32_t i = 0; i < prefix_width; ++i) {
      data[i] = static_cast<unsigned char>((length >> (8 * i)) & 0xFF);
    }
  }
  void Swap(pstr& other) noexcept {
    std::swap(length, other.length);
    std::swap(prefix_width, other.prefix_width);
    std::swap(data, other.data);
  }
};

template <typename T>
std::ostream& operator<<(std::ostream& out, const pstr<T>& text) {
  text.Write(out);
  return out;
}

template <typename T>
std::istream& operator>>(std::istream& in, pstr<T>& text) {
  text.Read(in);
  return in;
}

#endif
