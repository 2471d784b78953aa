#ifndef OSSIVAR_MODEL_RACE_H
#define OSSIVAR_MODEL_RACE_H

#include <array>
#include <cstdint>
#include <istream>
#include <ostream>

#include "model/aspect.h"
#include "model/fields.h"
#include "model/pstr.h"
#include "model/stat.h"

// Nine stat bonuses in 8.8 fixed point, in the order Strength, Wisdom,
// Agility, Health, Energy, Attack Damage, Reflex, Dexterity, Precision.
using stat_modifiers = std::array<unsigned short, 9>;

namespace stats {

// The group of nine bonuses races and careers store, in stat order.
template <class Modifiers, class V>
void ModifierFields(Modifiers& modifiers, V& v) {
  v.Group("modifiers", [&](auto& group) {
    for (int i = 0; i < 9; ++i) group.Points(kKeys[i], modifiers[i], presence::kRequired);
  });
}

}  // namespace stats

class race {
 public:
  std::uint32_t id = 0;
  pstr<unsigned char> name{"Thing"};
  pstr<unsigned short> description{"A thing."};
  unsigned char playable = 0;
  const aspect* virtue = nullptr;
  const aspect* vice = nullptr;
  stat_modifiers modifiers = {512, 512, 512, 1024, 1024, 1024, 1024, 1024, 1024};

  // Defined apart from the class, so that making a record (as reading does
  // for each one) does not first zero it all: every member has its own start.
  race();
  race(const std::uint32_t& race_id, const char* race_name, const char* text, const aspect* race_virtue,
       const aspect* race_vice, const stat_modifiers& bonuses);

  std::uint32_t ID() const { return id; }
  // Bytes of the file form but its own 2-byte size field.
  std::uint32_t Size() const;

  // The file form (model/fields.h).
  template <class V>
  void Fields(V& v) {
    FieldsOf(*this, v);
  }
  template <class V>
  void Fields(V& v) const {
    FieldsOf(*this, v);
  }

 private:
  template <class Self, class V>
  static void FieldsOf(Self& self, V& v) {
    v.Size("size", kSizeOfRest);
    v.Id("id", self.id);
    v.Text("name", self.name);
    v.Text("description", self.description);
    v.Flag("playable", self.playable, presence::kOptional);
    v.Aspect("virtue", self.virtue, aspect_kind::kVirtue);
    v.Aspect("vice", self.vice, aspect_kind::kVice);
    stats::ModifierFields(self.modifiers, v);
  }
};

// A missing aspect is written as number 0; only a default race has none.
std::ostream& operator<<(std::ostream& out, const race& r);
std::istream& operator>>(std::istream& in, race& r);

#endif
