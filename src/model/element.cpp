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

const char* const kKeys[7] = {"water", "wind", "earth", "fire", "light", "dark", "arcane"};

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
    binary_io::stream_sink sink(out);
    binary_io::WriteNumber(sink, e.value, 1);
  }
  return out;
}

std::istream& operator>>(std::istream& in, element& e) {
  binary_io::stream_source source(in);
  e.value = static_cast<unsigned char>(binary_io::ReadNumber(source, 1));
  return in;
}
