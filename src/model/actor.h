#ifndef OSSIVAR_MODEL_ACTOR_H
#define OSSIVAR_MODEL_ACTOR_H

#include <cstdint>
#include <istream>
#include <ostream>

#include "model/aspect.h"
#include "model/career.h"
#include "model/element.h"
#include "model/fields.h"
#include "model/pstr.h"
#include "model/race.h"
#include "model/stat.h"

// A character. Its stats point at each other, so an actor is never copied
// bit by bit: every constructor wires its own stats, and assignment copies
// values only. Containers holding actors must never move them.
class actor {
 public:
  std::uint32_t id = 0;
  pstr<unsigned char> name{"JOHN DOE"};
  bool female = false;
  bool player_controlled = false;
  const ::race* race = nullptr;
  std::uint32_t race_id = 0;
  const ::career* career = nullptr;
  std::uint32_t career_id = 0;
  const aspect* virtue = nullptr;
  const aspect* vice = nullptr;

  stat_swag strength;
  stat_swag wisdom;
  stat_swag agility;
  stat_aux health;
  stat_aux energy;
  stat_aux attack_damage;
  stat_aux reflex;
  stat_aux dexterity;
  stat_aux precision;

  element elements[elements::kElementCount];

  actor();
  actor(const unsigned int& actor_id, const char* actor_name, const bool& is_female, const ::race* actor_race,
        const ::career* actor_career, const aspect* actor_virtue, const aspect* actor_vice);
  actor(const actor& other);
  actor& operator=(const actor& other);

  // Adds the race's bonuses and its aspects' element effects; nothing of an
  // earlier race is undone.
  void PickRace(const ::race* r);
  void PickCareer(const ::career* c);
  // Applies the two aspects to the elements; does not store them.
  void PickVirtueVice(const aspect* actor_virtue, const aspect* actor_vice);

  // Take-backs, for changing a choice: each removes what its pick added to
  // the stats and elements (a value held at a limit stays where it is). The
  // race and career stay recorded, so the sheet still names them until the
  // next pick replaces them; take a pick back once only.
  void UnpickRace();
  void UnpickCareer();
  void UnpickVirtueVice(const aspect* actor_virtue, const aspect* actor_vice);
  // Every stat back to full, primaries first so the auxiliaries follow them.
  void Restore();

  // Bytes of the file form but its own 2-byte size field.
  std::uint32_t Size() const;

  // The nine stats in file order: Strength ... Precision.
  stat_base* Stat(int index);
  const stat_base* Stat(int index) const;

  // The file form (model/fields.h). The race and career are stored as the
  // identifiers race_id and career_id; the pointers are the data file's to
  // resolve.
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
    v.Flag("female", self.female, presence::kOptional);
    v.Flag("player_controlled", self.player_controlled, presence::kOptional);
    v.Reference("race_id", self.race_id, record_kind::kRace);
    v.Reference("career_id", self.career_id, record_kind::kCareer);
    v.Aspect("virtue", self.virtue, aspect_kind::kVirtue);
    v.Aspect("vice", self.vice, aspect_kind::kVice);
    v.Group("stats", [&](auto& group) {
      const auto stat = [&](const int& i, auto& s) {
        group.Group(stats::kKeys[i], [&](auto& g) { s.Fields(g); });
      };
      stat(0, self.strength);
      stat(1, self.wisdom);
      stat(2, self.agility);
      stat(3, self.health);
      stat(4, self.energy);
      stat(5, self.attack_damage);
      stat(6, self.reflex);
      stat(7, self.dexterity);
      stat(8, self.precision);
    });
    v.Group("elements", [&](auto& group) {
      for (int k = 0; k < elements::kElementCount; ++k)
        group.Affinity(elements::kKeys[k], self.elements[k].value);
    });
  }

  void Wire();
  void AddModifiers(const stat_modifiers& bonuses);
};

// A missing aspect is written as number 0; only an actor still being
// created has none.
std::ostream& operator<<(std::ostream& out, const actor& a);
// Leaves race and career pointers for the data file to resolve.
std::istream& operator>>(std::istream& in, actor& a);

#endif
