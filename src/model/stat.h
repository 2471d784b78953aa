#ifndef OSSIVAR_MODEL_STAT_H
#define OSSIVAR_MODEL_STAT_H

#include <istream>
#include <ostream>

#include "model/fields.h"

// Stat values are unsigned 16-bit fixed point with 8 fractional bits:
// 256 is one whole point. A decrease is passed as the 16-bit two's
// complement of the amount (65280 lowers by one point).
namespace stats {

extern const char* const kStr;
extern const char* const kWis;
extern const char* const kAgi;
extern const char* const kHp;
extern const char* const kEn;
extern const char* const kAd;
extern const char* const kRe;
extern const char* const kAs;
extern const char* const kAc;

// Keys of the nine stats in actor order, as the file form names them.
extern const char* const kKeys[9];

// No base or growth ever passes 100 points.
constexpr unsigned short kCap = 25600;

}  // namespace stats

class stat_base {
 public:
  static constexpr double kExperienceMultiplier = 0.0625;

  const char* name = nullptr;
  unsigned short base = 0;
  unsigned short wound = 0;
  unsigned short current = 0;

  stat_base() = default;
  stat_base(const stat_base&) = delete;
  virtual ~stat_base() = default;
  // Values only: the name and wiring stay with the actor that owns the stat.
  stat_base& operator=(const stat_base& other);

  virtual unsigned short get(const bool& whole) const;
  virtual unsigned short get_max(const bool& whole) const = 0;
  virtual void mod(const unsigned short& delta);
  virtual void mod_max(const unsigned short& delta);
  virtual void set(const unsigned short& new_value);
  virtual void set_max(const unsigned short& new_value);
  virtual void Damage(const unsigned short& amount);
  virtual void Restore() = 0;

  // The file form: base, wound, current (model/fields.h).
  template <class V>
  void Fields(V& v) {
    FieldsOf(*this, v);
  }
  template <class V>
  void Fields(V& v) const {
    FieldsOf(*this, v);
  }

 protected:
  template <class Self, class V>
  static void FieldsOf(Self& self, V& v) {
    v.Points("base", self.base, presence::kRequired);
    v.Points("wound", self.wound, presence::kOptional);
    v.Points("current", self.current, presence::kRequired);
  }

  // The unreduced maximum, for the whole-point form that may be negative.
  virtual int RawMax() const = 0;
};

class stat_aux;

// A primary stat (Strength, Wisdom, Agility): grows by experience and
// passes each gain on to the four auxiliary stats it feeds.
class stat_swag : public stat_base {
 public:
  unsigned short growth = 0;
  stat_aux* links[4] = {nullptr, nullptr, nullptr, nullptr};

  stat_swag() = default;
  stat_swag& operator=(const stat_swag& other);

  unsigned short get_max(const bool& whole) const override;
  void Restore() override;

  // True when the whole part of base + growth rose.
  bool Level(const unsigned short& experience);
  // links[0], links[1]: this stat is dominant; links[2], links[3]: recessive.
  void Link(stat_aux* a, stat_aux* b, stat_aux* c, stat_aux* d);

  // A primary stores its growth after the three values every stat has.
  template <class V>
  void Fields(V& v) {
    FieldsOf(*this, v);
    v.Points("growth", growth, presence::kOptional);
  }
  template <class V>
  void Fields(V& v) const {
    FieldsOf(*this, v);
    v.Points("growth", growth, presence::kOptional);
  }

 protected:
  int RawMax() const override;
};

// An auxiliary stat: its maximum follows the current values of its
// dominant primary in full and its recessive primary at half weight.
class stat_aux : public stat_base {
 public:
  stat_aux() = default;
  stat_aux& operator=(const stat_aux& other);

  unsigned short get_max(const bool& whole) const override;
  void Restore() override;

  stat_swag* dom() const { return dominant_; }
  stat_swag* rec() const { return recessive_; }
  void Wire(stat_swag* dominant, stat_swag* recessive);

 protected:
  int RawMax() const override;

 private:
  int Feed() const;

  stat_swag* dominant_ = nullptr;
  stat_swag* recessive_ = nullptr;
};

// Console: "%3d/%-3d" of the whole current and maximum. Otherwise the file
// form: base, wound, current (and growth for primaries), little-endian.
std::ostream& operator<<(std::ostream& out, const stat_swag& stat);
std::ostream& operator<<(std::ostream& out, const stat_aux& stat);
std::istream& operator>>(std::istream& in, stat_swag& stat);
std::istream& operator>>(std::istream& in, stat_aux& stat);

#endif
