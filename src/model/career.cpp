#include "model/career.h"

#include "model/binary_io.h"

career::career(const std::uint32_t& career_id, const char* career_name, const char* text,
               const stat_modifiers& bonuses)
    : id(career_id), name(career_name), description(text), modifiers(bonuses) {}

std::uint32_t career::Size() const {
  return name.prefix_width + name.length + description.prefix_width + description.length + 23;
}

std::ostream& operator<<(std::ostream& out, const career& c) {
  binary_io::WriteU16(out, static_cast<std::uint16_t>(c.Size()));
  binary_io::WriteU32(out, c.id);
  out << c.name << c.description;
  binary_io::WriteU8(out, c.playable);
  for (const unsigned short& bonus : c.modifiers) binary_io::WriteU16(out, bonus);
  return out;
}

std::istream& operator>>(std::istream& in, career& c) {
  binary_io::ReadU16(in);
  c.id = binary_io::ReadU32(in);
  in >> c.name >> c.description;
  c.playable = binary_io::ReadU8(in);
  for (unsigned short& bonus : c.modifiers) bonus = binary_io::ReadU16(in);
  return in;
}
