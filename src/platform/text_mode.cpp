#include "platform/text_mode.h"

namespace text_mode {

void reader::Take(std::string_view bytes, std::string* out) {
  for (const char byte : bytes) {
    if (ended_) return;
    if (held_cr_) {
      held_cr_ = false;
      if (byte != '\n') out->push_back('\r');
    }
    if (byte == kCtrlZ && ctrl_z_ends_) {
      ended_ = true;
    } else if (byte == '\r') {
      held_cr_ = true;
    } else {
      out->push_back(byte);
    }
  }
}

void reader::Finish(std::string* out) {
  if (held_cr_ && !ended_) out->push_back('\r');
  held_cr_ = false;
}

}  // namespace text_mode
