#include "model/element.h"

#include "model/binary_io.h"

namespace elements {

const char* const kWaterName = "Water";
const char* const kWindName = "Wind";
const char* const kEarthName = "Earth";
const char* const kFireName = "Fire";
const char* const kLightName = "Light";
const char* const kDarkName = "Dark";
const char* const kArcaneName = "Arcane";

const char* const kElementNames[7] = {"Water", "Wind", "Earth", "Fire", "Light", "Dark", "Arcane"};

}  // namespace elements

element& element::operator=(const element& other) {
  value = other.value;
  return *this;
}

element& element::operator+=(const unsigned char& amount) {
  const int sum = value + amount;
  value = static_cast<unsigned char>(sum > 255 ? 255 : sum);
  return *this;
}

element& element::operator-=(const unsigned char& amount) {
  value = static_cast<unsigned char>(value > amount ? value - amount : 0);
  return *this;
}

std::ostream& operator<<(std::ostream& out, const element& e) {
  if (binary_io::IsConsole(out)) {
    out << (e.value * 25) / 32 << '%';
  } else {
    binary_io::WriteU8(out, e.value);
  }
  return out;
}

std::istream& operator>>(std::istream& in, element& e) {
  e.value = binary_io::ReadU8(in);
  return in;
}
