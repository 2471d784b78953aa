#include "model/career.h"

#include "model/record_io.h"

career::career() = default;

career::career(const std::uint32_t& career_id, const char* career_name, const char* text,
               const stat_modifiers& bonuses)
    : id(career_id), name(career_name), description(text), modifiers(bonuses) {}

std::uint32_t career::Size() const { return record_io::Size(*this); }

std::ostream& operator<<(std::ostream& out, const career& c) {
  record_io::Write(out, c);
  return out;
}

std::istream& operator>>(std::istream& in, career& c) {
  record_io::Read(in, c);
  return in;
}
