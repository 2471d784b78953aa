#include "platform/stream_buffers.h"

#include <atomic>

namespace terminal {

void output_buffer::StartScreen() {
  // Anything not yet written still has to go out; what has is no longer part
  // of the screen.
  text_.erase(0, sent_);
  sent_ = 0;
}

void output_buffer::Echoed(const char* bytes, std::size_t count) {
  if (!keep_) return;
  text_.insert(sent_, bytes, count);
  sent_ += count;
}

output_buffer::int_type output_buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  text_.push_back(traits_type::to_char_type(c));
  return c;
}

std::streamsize output_buffer::xsputn(const char* bytes, std::streamsize count) {
  text_.append(bytes, static_cast<std::size_t>(count));
  return count;
}

int output_buffer::sync() {
  std::size_t from = sent_;
  if (redraw_ != 0) {
    redraw_ = 0;
    from = 0;
  }
  const bool written = from == text_.size() || write_(text_.data() + from, text_.size() - from);
  if (keep_ && written) {
    sent_ = text_.size();
  } else {
    // Not kept, or lost: a failed write is not tried again with later text.
    text_.clear();
    sent_ = 0;
  }
  std::atomic_signal_fence(std::memory_order_seq_cst);  // settled before a handler looks
  return written ? 0 : -1;
}

input_buffer::int_type input_buffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  while (!ended_) {
    // The player answers what is on the screen, so all of it must be there.
    if (screen_ != nullptr) screen_->pubsync();
    const long count = read_(bytes_, sizeof bytes_);
    if (count <= 0) {
      ended_ = true;
      break;
    }
    std::size_t kept = 0;
    for (long i = 0; i < count; ++i) {
      if (filter_.Keep(static_cast<unsigned char>(bytes_[i]))) bytes_[kept++] = bytes_[i];
    }
    if (kept > 0) {
      if (screen_ != nullptr) screen_->Echoed(bytes_, kept);
      setg(bytes_, bytes_, bytes_ + kept);
      return traits_type::to_int_type(bytes_[0]);
    }
  }
  return traits_type::eof();
}

}  // namespace terminal
