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
//
// Loading a file should not pay for an allocation and a copy per text, so
// the buffer is one of three: inside the object for short texts (most
// names); on the heap, reused while a new text fits; or borrowed, in place
// in bytes that outlive the text (a data file's, see Borrow). A borrowed
// text is never written to; changing it first gives it a buffer of its own.
template <typename T>
class pstr {
 public:
  static constexpr std::uint32_t prefix_width = sizeof(T);

  T length = 0;
  unsigned char* data = nullptr;

  pstr() = default;

  // Texts longer than the prefix can count keep their first characters.
  explicit pstr(const char* text) {
    const std::size_t n = text ? std::strlen(text) : 0;
    Assign(text, std::min<std::size_t>(n, std::numeric_limits<T>::max()));
  }

  pstr(const pstr& other) { Assign(other.text(), other.length); }
  pstr(pstr&& other) noexcept { Take(other); }
  pstr& operator=(const pstr& other) {
    if (this != &other) Assign(other.text(), other.length);
    return *this;
  }
  pstr& operator=(pstr&& other) noexcept {
    if (this != &other) {
      Release();
      Take(other);
    }
    return *this;
  }
  ~pstr() { Release(); }

  // The characters behind the prefix (not zero-terminated).
  const char* text() const { return data ? reinterpret_cast<const char*>(data + prefix_width) : ""; }
  std::string str() const { return std::string(text(), length); }

  // Reads prefix and characters; a short read leaves the missing
  // characters zero but keeps the length that was read.
  template <class Source>
  void ReadFrom(Source& in) {
    const T n = static_cast<T>(binary_io::ReadNumber(in, prefix_width));
    // Every source zero-fills what it could not read.
    in.Read(Resize(n), n);
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

  // Makes the text the one whose prefix starts at `bytes`, in place: the
  // caller guarantees the prefix and every character are there and that
  // they outlive this text and whatever it is moved into. Copies own theirs.
  void Borrow(unsigned char* bytes) {
    Release();
    T n = 0;
    for (std::uint32_t i = 0; i < prefix_width; ++i) n = static_cast<T>(n | (bytes[i] << (8 * i)));
    data = bytes;
    length = n;
  }

  // Replaces the text by `new_length` zero characters, for a reader to
  // fill in place; returns where they start.
  unsigned char* Reset(const T& new_length) {
    unsigned char* chars = Resize(new_length);
    std::memset(chars, 0, length);
    return chars;
  }

 private:
  // Inline bytes that round the object up to 48 bytes.
  static constexpr std::size_t kInlineBytes = 28;

  void Assign(const char* text, const std::size_t& n) {
    unsigned char* chars = Resize(static_cast<T>(n));
    if (n > 0) std::memcpy(chars, text, n);
  }

  // Makes room for a text of `new_length` characters and stores its
  // prefix; the characters are left as they were.
  unsigned char* Resize(const T& new_length) {
    const std::size_t needed = prefix_width + static_cast<std::size_t>(new_length);
    if (data == nullptr || needed > Capacity()) {
      // Allocate before letting go, so a failed allocation leaves the old text.
      unsigned char* fresh = needed <= kInlineBytes ? inline_ : new unsigned char[needed];
      Release();
      data = fresh;
      if (fresh != inline_) capacity_ = static_cast<std::uint32_t>(needed);
    }
    length = new_length;
    for (std::uint32_t i = 0; i < prefix_width; ++i) {
      data[i] = static_cast<unsigned char>((length >> (8 * i)) & 0xFF);
    }
    return data + prefix_width;
  }

  bool OnHeap() const { return capacity_ != 0; }
  bool Inline() const { return data == inline_; }
  // A borrowed buffer has no room to change the text in.
  std::size_t Capacity() const { return OnHeap() ? capacity_ : Inline() ? kInlineBytes : 0; }

  void Release() {
    // Inline() is never true on the heap; saying so lets the optimiser see
    // that the inline bytes are never freed.
    if (OnHeap() && !Inline()) delete[] data;
    capacity_ = 0;
    data = nullptr;
    length = 0;
  }

  // Moves other's text here (this holds none); other is left empty. A heap
  // or borrowed buffer changes hands; an inline one is copied.
  void Take(pstr& other) noexcept {
    length = other.length;
    if (other.Inline()) {
      std::memcpy(inline_, other.inline_, prefix_width + static_cast<std::size_t>(length));
      data = inline_;
    } else {
      data = other.data;
      capacity_ = other.capacity_;
    }
    other.capacity_ = 0;
    other.data = nullptr;
    other.length = 0;
  }

  std::uint32_t capacity_ = 0;  // of a buffer on the heap; 0 for any other
  unsigned char inline_[kInlineBytes] = {};
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
