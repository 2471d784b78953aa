#include "replay/screen_check.h"

#include <cstdio>

namespace replay {
namespace {

// Lines end in the carriage return and line feed a terminal shows;
// `trimmed` leaves out the return.
std::vector<std::string_view> Lines(std::string_view screen, bool trimmed) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = screen.find('\n', start)) != std::string_view::npos; start = end + 1) {
    std::string_view line = screen.substr(start, end - start);
    if (trimmed && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
  }
  lines.push_back(screen.substr(start));
  return lines;
}

difference FirstDifferentLine(const std::vector<std::string_view>& was, const std::vector<std::string_view>& now) {
  difference first;
  for (std::size_t i = 0; i < std::max(was.size(), now.size()); ++i) {
    const std::string_view before = i < was.size() ? was[i] : std::string_view();
    const std::string_view after = i < now.size() ? now[i] : std::string_view();
    if (i < was.size() && i < now.size() && before == after) continue;
    first.line = i + 1;
    first.recorded = before;
    first.replayed = after;
    return first;
  }
  return first;
}

}  // namespace

screen_check::screen_check(const std::vector<recording::event>& recorded, stop on_difference)
    : on_difference_(on_difference) {
  for (const recording::event& happened : recorded) {
    if (happened.type == recording::kOutput) screens_.push_back(&happened);
  }
}

void screen_check::Take(const recording::event& happened) {
  if (happened.type != recording::kOutput || compared_ == screens_.size()) return;
  const recording::event& expected = *screens_[compared_++];
  if (expected.data == happened.data) return;
  difference first = FirstDifference(expected.data, happened.data);
  first.screen = compared_;
  first.microseconds = expected.microseconds;
  on_difference_(first);
}

void screen_check::Finish() {
  if (compared_ == screens_.size()) return;
  const recording::event& expected = *screens_[compared_];
  difference first = FirstDifference(expected.data, "");
  first.screen = compared_ + 1;
  first.microseconds = expected.microseconds;
  first.missing = true;
  on_difference_(first);
}

difference FirstDifference(std::string_view recorded, std::string_view replayed) {
  const difference first = FirstDifferentLine(Lines(recorded, true), Lines(replayed, true));
  // Screens that differ only in their carriage returns differ all the same.
  if (first.line != 0 || recorded == replayed) return first;
  return FirstDifferentLine(Lines(recorded, false), Lines(replayed, false));
}

std::string Visible(std::string_view line) {
  std::string shown = "\"";
  for (const char byte : line) {
    const auto code = static_cast<unsigned char>(byte);
    if (code < 0x20 || code == 0x7f || byte == '"' || byte == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", code);
      shown += escaped;
    } else {
      shown += byte;
    }
  }
  return shown + "\"";
}

}  // namespace replay
