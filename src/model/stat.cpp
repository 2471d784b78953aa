#include "model/stat.h"

#include <cstdio>

#include "model/record_io.h"

namespace stats {

const char* const kStr = "Strength";
const char* const kWis = "Wisdom";
const char* const kAgi = "Agility";
const char* const kHp = "Health";
const char* const kEn = "Energy";
const char* const kAd = "Attack Damage";
const char* const kRe = "Reflex";
const char* const kAs = "Dexterity";
const char* const kAc = "Precision";

const char* const kKeys[9] = {"strength",      "wisdom", "agility",   "health",   "energy",
                              "attack_damage", "reflex", "dexterity", "precision"};

}  // namespace stats

namespace {

// Deltas of 32768 and above are decreases; neither direction wraps.
unsigned short Shift(const unsigned short& value, const unsigned short& delta) {
  if (delta >= 32768) {
    const int decrease = 65536 - delta;
    return static_cast<unsigned short>(value > decrease ? value - decrease : 0);
  }
  const int sum = value + delta;
  return static_cast<unsigned short>(sum > 65535 ? 65535 : sum);
}

unsigned short Reduce(const int& value) { return static_cast<unsigned short>(value & 0xFFFF); }

void WriteConsole(std::ostream& out, const stat_base& stat) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d/%-3d", stat.get(true) & 0xFF, stat.get_max(true) & 0xFF);
  out << text;
}

}  // namespace

// stat_base

stat_base& stat_base::operator=(const stat_base& other) {
  base = other.base;
  wound = other.wound;
  current = other.current;
  return *this;
}

unsigned short stat_base::get(const bool& whole) const {
  return whole ? static_cast<unsigned short>(current >> 8) : current;
}

void stat_base::mod(const unsigned short& delta) {
  current = Shift(current, delta);
  if (current > get_max(false)) current = get_max(false);
}

void stat_base::mod_max(const unsigned short& delta) {
  base = Shift(base, delta);
  if (base > stats::kCap) base = stats::kCap;
  mod(delta);
}

void stat_base::set(const unsigned short& new_value) {
  current = new_value;
  if (current > get_max(false)) current = get_max(false);
}

void stat_base::set_max(const unsigned short& new_value) {
  if (new_value > stats::kCap) {
    current = Reduce(current + stats::kCap - base);
    base = stats::kCap;
  } else if (new_value < base) {
    const int drop = base - new_value;
    current = static_cast<unsigned short>(current > drop ? current - drop : 0);
    base = new_value;
  } else {
    current = Reduce(current + new_value - base);
    base = new_value;
  }
}

void stat_base::Damage(const unsigned short& amount) {
  if (current > amount) {
    const unsigned int product = static_cast<unsigned int>(amount) * amount;
    wound = static_cast<unsigned short>(product / current);
    current = static_cast<unsigned short>(current - amount);
  } else {
    wound = Reduce(wound + current);
    current = 0;
  }
}

// stat_swag

stat_swag& stat_swag::operator=(const stat_swag& other) {
  stat_base::operator=(other);
  growth = other.growth;
  return *this;
}

int stat_swag::RawMax() const { return base + growth - wound; }

unsigned short stat_swag::get_max(const bool& whole) const {
  return whole ? static_cast<unsigned short>(RawMax() >> 8) : Reduce(RawMax());
}

void stat_swag::Restore() {
  current = Reduce(base + growth);
  wound = 0;
}

bool stat_swag::Level(const unsigned short& experience) {
  const int old_whole = (base + growth) >> 8;
  double gain = 0.0;
  if (growth == 0) {
    gain = experience * (static_cast<double>(base) / (base + experience));
  } else {
    gain = experience * (static_cast<double>(base) / (base + growth)) * kExperienceMultiplier;
  }
  // base and experience both 0 give 0/0 here; that still gains 1.
  int g = gain == gain ? static_cast<int>(gain) : 0;
  if (g == 0) g = 1;

  if (growth + g > stats::kCap) {
    current = Reduce(current + growth + g - stats::kCap);
    growth = stats::kCap;
    if (current > get_max(false)) current = get_max(false);
  } else {
    current = Reduce(current + g);
    growth = static_cast<unsigned short>(growth + g);
    const unsigned short full = static_cast<unsigned short>(g);
    const unsigned short half = static_cast<unsigned short>(g / 2);
    if (links[0]) links[0]->mod(full);
    if (links[1]) links[1]->mod(full);
    if (links[2]) links[2]->mod(half);
    if (links[3]) links[3]->mod(half);
  }
  return ((base + growth) >> 8) > old_whole;
}

void stat_swag::Link(stat_aux* a, stat_aux* b, stat_aux* c, stat_aux* d) {
  links[0] = a;
  links[1] = b;
  links[2] = c;
  links[3] = d;
}

// stat_aux

stat_aux& stat_aux::operator=(const stat_aux& other) {
  stat_base::operator=(other);
  return *this;
}

int stat_aux::Feed() const {
  const int dominant = dominant_ ? dominant_->current : 0;
  const int recessive = recessive_ ? recessive_->current : 0;
  return dominant + (recessive >> 1);
}

int stat_aux::RawMax() const { return base - wound + Feed(); }

unsigned short stat_aux::get_max(const bool& whole) const {
  return whole ? static_cast<unsigned short>(RawMax() >> 8) : Reduce(RawMax());
}

void stat_aux::Restore() {
  current = Reduce(base + Feed());
  wound = 0;
}

void stat_aux::Wire(stat_swag* dominant, stat_swag* recessive) {
  dominant_ = dominant;
  recessive_ = recessive;
}

// Stream forms

namespace {

// The console shows whole points; any other stream gets the file form.
template <class Stat>
std::ostream& Write(std::ostream& out, const Stat& stat) {
  if (binary_io::IsConsole(out)) {
    WriteConsole(out, stat);
  } else {
    record_io::Write(out, stat);
  }
  return out;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const stat_swag& stat) { return Write(out, stat); }
std::ostream& operator<<(std::ostream& out, const stat_aux& stat) { return Write(out, stat); }

std::istream& operator>>(std::istream& in, stat_swag& stat) {
  record_io::Read(in, stat);
  return in;
}

std::istream& operator>>(std::istream& in, stat_aux& stat) {
  record_io::Read(in, stat);
  return in;
}
