#ifndef OSSIVAR_CONSOLE_TEXT_LAYOUT_H
#define OSSIVAR_CONSOLE_TEXT_LAYOUT_H

#include <cstddef>
#include <string>

#include "console/screen_size.h"
#include "model/pstr.h"

// Fitting record texts onto the 80-column screen. Both return the finished
// text and print nothing; the caller pads to a column if it needs one.

// At most `width` characters; a cut text ends in "..." when there is room
// for the dots.
template <typename T>
std::string Truncate(const pstr<T>& text, const unsigned& width) {
  const std::size_t n = text.length;
  if (n <= width) return text.str();
  if (width > 3) return std::string(text.text(), width - 3) + "...";
  return std::string(text.text(), width);
}

// Word-wraps the text into lines of `left_margin` spaces and text, keeping
// `right_margin` columns free; the first line is indented `first_indent`
// further. A positive `line_count` fixes the block's height: a short text is
// padded with bare newlines, a long one stops after that many lines with the
// margin of the line that did not fit and no newline. 0 means no limit.
template <typename T>
std::string Paragraph(const pstr<T>& text, const int& left_margin, const int& right_margin,
                      const int& first_indent, const int& line_count) {
  // Negative arguments mean nothing on screen; treat them as none.
  const std::size_t margin = left_margin > 0 ? static_cast<std::size_t>(left_margin) : 0;
  const std::size_t indent = first_indent > 0 ? static_cast<std::size_t>(first_indent) : 0;
  const int right = right_margin > 0 ? right_margin : 0;
  const std::size_t limit = line_count > 0 ? static_cast<std::size_t>(line_count) : 0;
  const int width = console::kScreenColumns - static_cast<int>(margin) - right;

  const char* chars = text.text();
  const std::size_t n = text.length;
  std::size_t start = 0;
  std::size_t end = 0;
  std::size_t last_space = 0;  // deliberately kept across lines
  std::size_t lines = 0;
  std::string out;

  while (end < n) {
    int window = width;
    if (out.empty()) {
      window -= static_cast<int>(indent);
      out.append(indent, ' ');
    }
    // Every line must take at least one character, or the wrap never ends.
    if (window < 1) window = 1;
    end = start + static_cast<std::size_t>(window);
    if (end > n) end = n;
    out.append(margin, ' ');
    for (std::size_t k = start; k < end; ++k) {
      if (chars[k] == ' ') last_space = k;
    }
    if (limit != 0 && lines >= limit) return out;

    if (start < last_space && end < n) {
      // Break at the space, which itself is not written.
      out.append(chars + start, last_space - start);
      start = last_space + 1;
    } else if (end < n) {
      // No space to break at: cut the word at the window's edge.
      out.append(chars + start, end - start);
      start = end;
    } else {
      out.append(chars + start, n - start);
    }
    out += '\n';
    ++lines;
  }
  if (lines < limit) out.append(limit - lines, '\n');
  return out;
}

#endif
