#include "content.h"

#include <cctype>

#include "model/aspect.h"

namespace tov {

const char* const kStatKeys[kStatCount] = {"strength", "wisdom", "agility",   "health",   "energy",
                                           "attack_damage", "reflex", "dexterity", "precision"};
const char* const kElementKeys[kElementCount] = {"water", "wind", "earth", "fire", "light", "dark", "arcane"};

const std::string& places::operator[](const std::string& field) const {
  static const std::string kNowhere;
  auto found = at.find(field);
  if (found != at.end()) return found->second;
  found = at.find("");
  return found != at.end() ? found->second : kNowhere;
}

const char* VirtueName(const std::uint8_t& number) {
  return number < kAspectCount ? aspects::FindVirtue(number)->name : nullptr;
}

const char* ViceName(const std::uint8_t& number) {
  return number < kAspectCount ? aspects::FindVice(number)->name : nullptr;
}

namespace {

bool SameLetters(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return i == a.size() && b[i] == '\0';
}

int FindNumber(const std::string& name, const char* (*name_of)(const std::uint8_t&)) {
  for (std::uint8_t n = 0; n < kAspectCount; ++n) {
    if (SameLetters(name, name_of(n))) return n;
  }
  return -1;
}

}  // namespace

int VirtueNumber(const std::string& name) { return FindNumber(name, VirtueName); }
int ViceNumber(const std::string& name) { return FindNumber(name, ViceName); }

}  // namespace tov
