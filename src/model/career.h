#ifndef OSSIVAR_MODEL_CAREER_H
#define OSSIVAR_MODEL_CAREER_H

#include <cstdint>
#include <istream>
#include <ostream>

#include "model/fields.h"
#include "model/pstr.h"
#include "model/race.h"

class career {
 public:
  std::uint32_t id = 0;
  pstr<unsigned char> name{"Janitor"};
  pstr<unsigned short> description{"This rag technician will sweep you off your feet!"};
  unsigned char playable = 0;
  stat_modifiers modifiers = {0, 0, 0, 0, 0, 0, 0, 0, 0};

  // Defined apart from the class, so that making a record (as reading does
  // for each one) does not first zero it all: every member has its own start.
  career();
  career(const std::uint32_t& career_id, const char* career_name, const char* text,
         const stat_modifiers& bonuses);

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
    stats::ModifierFields(self.modifiers, v);
  }
};

std::ostream& operator<<(std::ostream& out, const career& c);
std::istream& operator>>(std::istream& in, career& c);

#endif
