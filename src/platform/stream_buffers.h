#ifndef OSSIVAR_PLATFORM_STREAM_BUFFERS_H
#define OSSIVAR_PLATFORM_STREAM_BUFFERS_H

#include <csignal>
#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

#include "platform/key_sequence.h"

// The buffers behind std::cout and std::cin while the game runs. They reach
// the terminal only through the functions they are given, so they hold no
// operating system code and tests can watch every write and read.
namespace terminal {

// Collects output until it is flushed, so a whole screen, its clear
// included, reaches the terminal in one write instead of line by line.
class output_buffer : public std::streambuf {
 public:
  // Writes all of the bytes; false when that failed.
  using writer = bool (*)(const char* bytes, std::size_t count);

  explicit output_buffer(writer write) : write_(write) {}

  // With the screen kept, what was written since the last StartScreen can
  // be drawn again after the terminal was handed to someone else.
  void KeepScreen(bool keep) { keep_ = keep; }
  void StartScreen();

  // The kept screen as far as it has been written. Only read it, even from a
  // signal handler, while nothing is being printed.
  std::string_view Written() const { return std::string_view(text_.data(), sent_); }

  // The next flush writes the whole kept screen again, not only what is new.
  // Safe to call from a signal handler.
  void RedrawOnNextFlush() { redraw_ = 1; }

  // What the terminal showed of the player's typing by itself: part of the
  // kept screen, as if written, so that it is drawn again with the rest.
  void Echoed(const char* bytes, std::size_t count);

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  int sync() override;

 private:
  writer write_;
  std::string text_;
  std::size_t sent_ = 0;
  bool keep_ = false;
  volatile std::sig_atomic_t redraw_ = 0;
};

// Reads what the player types, flushing the screen before it waits and
// keeping what was typed on it, and drops the escape sequences of arrow and
// function keys so no line keeps one. What it has read but not yet handed
// on is what is already waiting (in_avail); the end of input is final.
class input_buffer : public std::streambuf {
 public:
  // Reads up to `capacity` bytes, waiting for at least one: the count, 0 at
  // the end of input, less than 0 on failure.
  using reader = long (*)(char* bytes, std::size_t capacity);

  input_buffer(reader read, output_buffer* screen) : read_(read), screen_(screen) {}

 protected:
  int_type underflow() override;

 private:
  reader read_;
  output_buffer* screen_;
  key_sequence::escape_filter filter_;
  bool ended_ = false;
  char bytes_[256];
};

}  // namespace terminal

#endif
