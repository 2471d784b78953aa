#ifndef OSSIVAR_PLATFORM_TEXT_MODE_H
#define OSSIVAR_PLATFORM_TEXT_MODE_H

#include <string>
#include <string_view>

// Text as Windows programs read it: a line may end in CR LF, which the game
// sees as the one newline it knows, and on the console Ctrl-Z (then Enter)
// ends the input, as Ctrl-D does on other systems. Kept free of system
// calls so both systems' tests check it.
namespace text_mode {

constexpr char kCtrlZ = '\x1a';

class reader {
 public:
  // With `ctrl_z_ends` (the console), Ctrl-Z ends the input there.
  explicit reader(bool ctrl_z_ends) : ctrl_z_ends_(ctrl_z_ends) {}

  // Appends to `out` the text of the next bytes read. A CR at the end of
  // `bytes` is held back until it is known whether LF follows.
  void Take(std::string_view bytes, std::string* out);

  // The input has ended: the held-back CR, if any, is text after all.
  void Finish(std::string* out);

  // True once Ctrl-Z has ended the input; what follows it is dropped.
  bool ended() const { return ended_; }

 private:
  bool ctrl_z_ends_;
  bool held_cr_ = false;
  bool ended_ = false;
};

}  // namespace text_mode

#endif
