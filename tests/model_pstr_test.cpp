// Length-prefixed strings: the buffer that is also the file form, deep
// copies, moves, and reading into a buffer that held another text.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "model/binary_io.h"
#include "model/pstr.h"
#include "support/bytes.h"
#include "support/test_support.h"

namespace {

using test_support::Bytes;
using test_support::ConsoleForm;
using test_support::FileForm;

template <typename T>
std::string Prefix(const pstr<T>& text) {
  return std::string(reinterpret_cast<const char*>(text.data), text.prefix_width);
}

// Lowercase letters in turn, so a text cut anywhere shows where.
std::string Letters(const std::size_t& n, const char& first = 'a') {
  std::string text(n, ' ');
  for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>(first + i % 26);
  return text;
}

// --- pstr -----------------------------------------------------------------

// The buffer holds the prefix, then the characters; that is the file form.
// On the console the characters alone are written. A text too long for the
// prefix keeps its first characters.
template <typename T>
void ExpectForms(const std::string& text, const std::string& prefix) {
  const pstr<T> p(text.c_str());
  const std::string kept = text.substr(0, std::numeric_limits<T>::max());
  EXPECT_EQ(p.length, kept.size());
  EXPECT_EQ(p.str(), kept);
  EXPECT_EQ(FileForm(p), prefix + kept);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.data), prefix.size() + kept.size()), prefix + kept);
  EXPECT_EQ(ConsoleForm(p), kept);
}

TEST(Pstr, TheBufferIsTheFileFormWithALittleEndianPrefix) {
  const struct {
    std::size_t length;
    std::string narrow_prefix;
    std::string wide_prefix;
  } rows[] = {
      {0, Bytes({0}), Bytes({0, 0})},
      {3, Bytes({3}), Bytes({3, 0})},
      {255, Bytes({0xFF}), Bytes({0xFF, 0})},
      {256, Bytes({0xFF}), Bytes({0, 1})},  // a 256-character name must not wrap to an empty one
      {300, Bytes({0xFF}), Bytes({0x2C, 1})},
      {70000, Bytes({0xFF}), Bytes({0xFF, 0xFF})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.length);
    ExpectForms<unsigned char>(Letters(row.length), row.narrow_prefix);
    ExpectForms<unsigned short>(Letters(row.length), row.wide_prefix);
  }
  // A text made without one has no buffer yet, and still writes an empty text.
  const pstr<unsigned char> empty;
  EXPECT_EQ(empty.str(), "");
  EXPECT_EQ(FileForm(empty), Bytes({0}));
}

TEST(Pstr, ReadsBackWhatItWrote) {
  std::istringstream in(std::string("\x08JOHN DOE", 9) + "rest");
  pstr<unsigned char> name("old text");
  in >> name;
  EXPECT_EQ(name.length, 8);
  EXPECT_EQ(name.str(), "JOHN DOE");
  EXPECT_EQ(FileForm(name), std::string("\x08JOHN DOE", 9));
  // The stream stands right after the string.
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "rest");

  std::istringstream wide_in(std::string("\x05\x00hello!", 8));
  pstr<unsigned short> wide;
  wide_in >> wide;
  EXPECT_EQ(wide.length, 5);
  EXPECT_EQ(wide.str(), "hello");
  EXPECT_EQ(FileForm(wide), std::string("\x05\x00hello", 7));
  EXPECT_EQ(wide_in.get(), '!');

  // An empty text read over one that was there.
  std::istringstream empty_in(Bytes({0, 7}));
  empty_in >> name;
  EXPECT_EQ(name.length, 0);
  EXPECT_EQ(name.str(), "");
  EXPECT_EQ(empty_in.get(), 7);
}

TEST(Pstr, ShortReadKeepsTheLengthAndFailsTheStream) {
  std::istringstream in(
      std::string("\x0A"
                  "abc",
                  4));
  pstr<unsigned char> name("x");
  in >> name;
  EXPECT_EQ(name.length, 10);
  EXPECT_EQ(name.str().substr(0, 3), "abc");
  EXPECT_EQ(Prefix(name), "\x0A");
  EXPECT_TRUE(in.eof());
}

// --- texts inside the object and on the heap --------------------------------

// Lengths on both sides of what fits inside the object, for either prefix.
const std::size_t kLengths[] = {0, 3, 25, 26, 27, 28, 29, 60, 250};

template <typename T>
std::string Expected(const std::string& text) {
  std::string form;
  for (std::size_t i = 0; i < sizeof(T); ++i) form += static_cast<char>((text.size() >> (8 * i)) & 0xFF);
  return form + text;
}

template <typename T>
void CheckMoves() {
  for (const std::size_t& n : kLengths) {
    const std::string text = Letters(n);
    // The source is gone before the moved text is read, so a text still
    // pointing into it shows under the address sanitizer.
    auto source = std::make_unique<pstr<T>>(text.c_str());
    pstr<T> constructed(std::move(*source));
    EXPECT_EQ(source->length, 0) << n;
    EXPECT_EQ(FileForm(*source), Expected<T>("")) << n;
    source.reset();
    EXPECT_EQ(FileForm(constructed), Expected<T>(text)) << n;

    for (const std::size_t& held : {std::size_t{2}, std::size_t{90}}) {
      auto other = std::make_unique<pstr<T>>(text.c_str());
      pstr<T> assigned(Letters(held, 'A').c_str());
      assigned = std::move(*other);
      other.reset();
      EXPECT_EQ(FileForm(assigned), Expected<T>(text)) << n << " over " << held;
    }
  }
}

TEST(Pstr, MovesTakeTheTextAndLeaveTheSourceEmpty) {
  CheckMoves<unsigned char>();
  CheckMoves<unsigned short>();
}

template <typename T>
void CheckAssignments() {
  pstr<T> target;
  // Growing a step at a time crosses the limit from inside the object.
  for (const std::size_t n : {3u, 26u, 27u, 28u, 29u, 30u, 60u, 5u, 250u, 0u, 2u}) {
    const std::string text = Letters(n, static_cast<char>('a' + n % 7));
    const pstr<T> source(text.c_str());
    target = source;
    EXPECT_EQ(FileForm(target), Expected<T>(text)) << n;
    EXPECT_NE(target.data, source.data) << n;
    const pstr<T> copied(target);
    EXPECT_EQ(FileForm(copied), Expected<T>(text)) << n;
  }
  const pstr<T>& same = target;
  target = same;  // self-assignment keeps the text
  EXPECT_EQ(FileForm(target), Expected<T>(Letters(2, 'c')));
}

TEST(Pstr, AssignmentsAcrossTheInlineLimitKeepTheWholeText) {
  CheckAssignments<unsigned char>();
  CheckAssignments<unsigned short>();
}

// A buffer kept for a new text must not show what it held before.
TEST(Pstr, ReadingIntoAUsedBufferShowsNothingOld) {
  for (const std::size_t& held : {std::size_t{20}, std::size_t{60}}) {
    pstr<unsigned char> name(std::string(held, 'Q').c_str());
    const std::string cut(
        "\x0A"
        "abc");
    binary_io::memory_source in(cut.data(), cut.size());
    name.ReadFrom(in);
    EXPECT_TRUE(in.cut_short);
    EXPECT_EQ(name.str(), std::string("abc") + std::string(7, '\0')) << held;
    EXPECT_EQ(FileForm(name).substr(0, 4), cut) << held;

    const std::string whole("\x02hi");
    binary_io::memory_source again(whole.data(), whole.size());
    name.ReadFrom(again);
    EXPECT_EQ(FileForm(name), whole) << held;
  }
}

// --- borrowed texts -----------------------------------------------------------

// Two texts back to back, as a data file holds them.
std::string TwoTexts() {
  return "\x02hi"
         "\x03"
         "abc";
}

TEST(Pstr, ABorrowedTextIsReadInPlaceAndCopiesOwnTheirs) {
  std::string bytes = TwoTexts();
  auto in = binary_io::memory_source::Lending(bytes.data(), bytes.size(), 0);
  pstr<unsigned char> first("x");
  pstr<unsigned char> second;
  first.Borrow(in.LendText(1));
  second.Borrow(in.LendText(1));
  EXPECT_EQ(in.pos, bytes.size());
  EXPECT_EQ(first.str(), "hi");
  EXPECT_EQ(FileForm(second),
            "\x03"
            "abc");
  EXPECT_EQ(reinterpret_cast<char*>(first.data), bytes.data());

  const pstr<unsigned char> copied(first);
  EXPECT_NE(copied.data, first.data);
  EXPECT_EQ(copied.str(), "hi");

  // A move hands the place over.
  pstr<unsigned char> moved(std::move(first));
  EXPECT_EQ(reinterpret_cast<char*>(moved.data), bytes.data());
  EXPECT_EQ(first.length, 0);
}

// A borrowed text has no room of its own: a new text must not spill into
// the bytes after it.
TEST(Pstr, ChangingABorrowedTextLeavesTheBytesAlone) {
  std::string bytes = TwoTexts();
  const std::string before = bytes;
  auto in = binary_io::memory_source::Lending(bytes.data(), bytes.size(), 0);
  pstr<unsigned char> first;
  pstr<unsigned char> second;
  first.Borrow(in.LendText(1));
  second.Borrow(in.LendText(1));

  first = pstr<unsigned char>("longer than before");
  EXPECT_EQ(first.str(), "longer than before");
  second.Reset(1);
  EXPECT_EQ(second.str(), std::string(1, '\0'));
  EXPECT_EQ(bytes, before);

  pstr<unsigned char> read_over;
  binary_io::memory_source again(bytes.data(), bytes.size(), 0);
  read_over.Borrow(reinterpret_cast<unsigned char*>(bytes.data()) + 3);
  read_over.ReadFrom(again);
  EXPECT_EQ(read_over.str(), "hi");
  EXPECT_EQ(bytes, before);
}

TEST(Pstr, OnlyALendingSourceLendsAndOnlyWholeTexts) {
  std::string bytes = TwoTexts();
  binary_io::memory_source plain(bytes.data(), bytes.size(), 0);
  EXPECT_EQ(plain.LendText(1), nullptr);
  EXPECT_EQ(plain.pos, 0u);

  // "abc" cut short, or its prefix missing; then a wide prefix cut short.
  for (const std::size_t& size : {std::size_t{5}, std::size_t{4}, std::size_t{3}}) {
    auto cut = binary_io::memory_source::Lending(bytes.data(), size, 3);
    EXPECT_EQ(cut.LendText(1), nullptr) << size;
    EXPECT_EQ(cut.pos, 3u) << size;
    EXPECT_FALSE(cut.cut_short) << size;
  }
  auto wide = binary_io::memory_source::Lending(bytes.data(), 6, 5);
  EXPECT_EQ(wide.LendText(2), nullptr);
}

}  // namespace
