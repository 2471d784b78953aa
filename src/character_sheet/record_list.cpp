#include "character_sheet/record_list.h"

#include "character_sheet/sheet.h"
#include "console/screen_size.h"

namespace CharGen {
namespace {

constexpr std::size_t kTabWidth = 8;

int Rows(const std::size_t& columns) {
  constexpr std::size_t width = console::kScreenColumns;
  return columns == 0 ? 1 : static_cast<int>((columns + width - 1) / width);
}

}  // namespace

void WriteQuestion(std::ostream& out, const record_list& list) { out << "\n\t" << list.question << "\n\t  "; }

void WriteEntry(std::ostream& out, const std::uint64_t& number, const std::string_view& name) {
  out << number << ") ";
  out.write(name.data(), static_cast<std::streamsize>(name.size()));
  out << "\n\t  ";
}

void WriteLastEntry(std::ostream& out, const record_list& list, const std::size_t& record_count) {
  if (list.last_entry == nullptr) return;
  out << "\n\t  ";
  WriteEntry(out, record_count, list.last_entry);
}

int ScreenLines(const std::string& below) {
  int lines = kHeaderLines;
  std::size_t column = 0;
  for (const char c : below) {
    if (c == '\n') {
      lines += Rows(column);
      column = 0;
    } else {
      column = c == '\t' ? (column / kTabWidth + 1) * kTabWidth : column + 1;
    }
  }
  // The line the player types on counts too.
  return lines + Rows(column);
}

}  // namespace CharGen
