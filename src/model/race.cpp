#include "model/race.h"

#include "model/record_io.h"

race::race() = default;

race::race(const std::uint32_t& race_id, const char* race_name, const char* text, const aspect* race_virtue,
           const aspect* race_vice, const stat_modifiers& bonuses)
    : id(race_id),
      name(race_name),
      description(text),
      virtue(race_virtue),
      vice(race_vice),
      modifiers(bonuses) {}

std::uint32_t race::Size() const { return record_io::Size(*this); }

std::ostream& operator<<(std::ostream& out, const race& r) {
  record_io::Write(out, r);
  return out;
}

std::istream& operator>>(std::istream& in, race& r) {
  record_io::Read(in, r);
  return in;
}
