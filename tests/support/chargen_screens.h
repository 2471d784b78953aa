#ifndef OSSIVAR_TESTS_SUPPORT_CHARGEN_SCREENS_H
#define OSSIVAR_TESTS_SUPPORT_CHARGEN_SCREENS_H

// The creation screens run on a small loaded world, and their output cut
// into header and body screen by screen.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "game/examples.h"
#include "support/test_support.h"

namespace chargen_test {

using test_support::kBlankHeader;
using test_support::kRule;

inline const std::string kConfirm = "\n\n\tIs this correct?\n\t  0) No.\n\t  1) Yes.\n\t  ";

// One drawn screen: the four header lines and what followed the rule.
struct screen {
  std::string header;
  std::string body;
};

// Cuts captured output at every rule. A header is four lines ending right
// before its rule, and its first line follows a prompt without a newline:
// it is 41 columns wide, or 76 when it ends with an element's "%".
inline std::string::size_type HeaderStart(const std::string& output, std::string::size_type rule) {
  std::string::size_type first_line_end = rule - 1;
  for (int lines = 0; lines < 3; ++lines) first_line_end = output.rfind('\n', first_line_end - 1);
  return first_line_end - (output[first_line_end - 1] == '%' ? 76 : 41);
}

inline std::vector<screen> Screens(const std::string& output) {
  std::vector<std::string::size_type> rules;
  for (auto at = output.find(kRule); at != std::string::npos; at = output.find(kRule, at + kRule.size())) {
    rules.push_back(at);
  }
  std::vector<screen> screens;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const auto header_start = HeaderStart(output, rules[i]);
    const auto body_start = rules[i] + kRule.size();
    const auto body_end = i + 1 < rules.size() ? HeaderStart(output, rules[i + 1]) : output.size();
    screens.push_back({output.substr(header_start, rules[i] - header_start),
                       output.substr(body_start, body_end - body_start)});
  }
  return screens;
}

inline std::string Menu(const std::string& prompt, const std::vector<std::string>& entries) {
  std::string text = prompt;
  for (const std::string& entry : entries) text += entry + "\n\t  ";
  return text;
}

inline void FillAux(actor& a) {
  for (int i = 3; i < 9; ++i) a.Stat(i)->mod(25600);
}

inline void ExpectSameNumbers(const actor& got, const actor& want) {
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(got.Stat(i)->name);
    EXPECT_EQ(got.Stat(i)->base, want.Stat(i)->base);
    EXPECT_EQ(got.Stat(i)->get(false), want.Stat(i)->get(false));
    EXPECT_EQ(got.Stat(i)->get_max(false), want.Stat(i)->get_max(false));
  }
  for (int k = 0; k < elements::kElementCount; ++k) {
    EXPECT_EQ(got.elements[k].value, want.elements[k].value) << elements::kElementNames[k];
  }
}

// The numbers of a character made by these picks alone, the auxiliary stats
// filled after the race and after the career as the screens fill them.
inline void ExpectMadeOf(const actor& got, const race* r, const career* c, const aspect* virtue = nullptr,
                         const aspect* vice = nullptr) {
  actor want;
  want.PickRace(r);
  FillAux(want);
  if (c != nullptr) {
    want.PickCareer(c);
    FillAux(want);
  }
  if (virtue != nullptr) want.PickVirtueVice(virtue, vice);
  ExpectSameNumbers(got, want);
}

// A data file as loaded: races Nimisum, Protosum and Absum playable, Piyat
// not; careers Janitor (not playable), Warrior and Archer.
class ChargenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = std::make_unique<tov_file>();
    for (const race* r : {&examples::human, &examples::elf, &examples::dwarf, &examples::clown}) {
      file_->races.push_back(*r);
      file_->races.back().playable = r != &examples::clown;
    }
    for (const career* c : {&examples::janitor, &examples::warrior, &examples::archer}) {
      file_->careers.push_back(*c);
      file_->careers.back().playable = c != &examples::janitor;
    }
  }
  std::vector<screen> Run(const std::string& input, const std::function<void()>& screens) {
    test_support::ConsoleCapture capture(input);
    screens();
    output_ = capture.Output();
    return Screens(output_);
  }

  race& Race(int position) { return file_->races[static_cast<std::size_t>(position)]; }
  career& Career(int position) { return file_->careers[static_cast<std::size_t>(position)]; }

  std::unique_ptr<tov_file> file_;
  actor hero_;
  std::string output_;
};
}  // namespace chargen_test

#endif
