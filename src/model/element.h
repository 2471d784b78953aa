#ifndef OSSIVAR_MODEL_ELEMENT_H
#define OSSIVAR_MODEL_ELEMENT_H

#include <istream>
#include <ostream>

namespace elements {

extern const char* const kWaterName;
extern const char* const kWindName;
extern const char* const kEarthName;
extern const char* const kFireName;
extern const char* const kLightName;
extern const char* const kDarkName;
extern const char* const kArcaneName;

// Names in element order: Water, Wind, Earth, Fire, Light, Dark, Arcane.
extern const char* const kElementNames[7];

constexpr int kElementCount = 7;

// Keys of the seven elements in element order, as the file form names them.
extern const char* const kKeys[7];

}  // namespace elements

// One elemental affinity; 128 is neutral (100%).
class element {
 public:
  const char* name = nullptr;
  unsigned char value = 128;

  element() = default;
  explicit element(const char* element_name) : name(element_name) {}
  element(const element& other) : value(other.value) {}
  // Copies the value only: the name belongs to the slot.
  element& operator=(const element& other);

  unsigned char get() const { return value; }
  void set(const unsigned char& new_value) { value = new_value; }

  // Both saturate at the ends of the byte.
  element& operator+=(const unsigned char& amount);
  element& operator-=(const unsigned char& amount);
};

// Console: the percentage (value * 25 / 32) in the stream's format, then "%".
// Any other stream: the value as one byte.
std::ostream& operator<<(std::ostream& out, const element& e);
std::istream& operator>>(std::istream& in, element& e);

#endif
