#include "model/race.h"

#include "model/binary_io.h"

race::race(const std::uint32_t& race_id, const char* race_name, const char* text, const aspect* race_virtue,
           const aspect* race_vice, const stat_modifiers& bonuses)
    : id(race_id),
      name(race_name),
      description(text),
      virtue(race_virtue),
      vice(race_vice),
      modifiers(bonuses) {}

std::uint32_t race::Size() const {
  return name.prefix_width + name.length + description.prefix_width + description.length + 25;
}

std::ostream& operator<<(std::ostream& out, const race& r) {
  binary_io::WriteU16(out, static_cast<std::uint16_t>(r.Size()));
  binary_io::WriteU32(out, r.id);
  out << r.name << r.description;
  binary_io::WriteU8(out, r.playable);
  binary_io::WriteU8(out, r.virtue ? r.virtue->strengthens : 0);
  binary_io::WriteU8(out, r.vice ? r.vice->strengthens : 0);
  for (const unsigned short& bonus : r.modifiers) binary_io::WriteU16(out, bonus);
  return out;
}

std::istream& operator>>(std::istream& in, race& r) {
  binary_io::ReadU16(in);
  r.id = binary_io::ReadU32(in);
  in >> r.name >> r.description;
  r.playable = binary_io::ReadU8(in);
  r.virtue = aspects::FindVirtue(binary_io::ReadU8(in));
  r.vice = aspects::FindVice(binary_io::ReadU8(in));
  for (unsigned short& bonus : r.modifiers) bonus = binary_io::ReadU16(in);
  return in;
}
