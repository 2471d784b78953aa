#include "model/actor.h"

#include "model/record_io.h"

actor::actor() { Wire(); }

actor::actor(const unsigned int& actor_id, const char* actor_name, const bool& is_female,
             const ::race* actor_race, const ::career* actor_career, const aspect* actor_virtue,
             const aspect* actor_vice)
    : id(actor_id),
      name(actor_name),
      female(is_female),
      race(actor_race),
      career(actor_career),
      virtue(actor_virtue),
      vice(actor_vice) {
  Wire();
  if (actor_race) PickRace(actor_race);
  if (actor_career) PickCareer(actor_career);
  PickVirtueVice(actor_virtue, actor_vice);
}

actor::actor(const actor& other) {
  Wire();
  *this = other;
}

void actor::Wire() {
  strength.name = stats::kStr;
  wisdom.name = stats::kWis;
  agility.name = stats::kAgi;
  health.name = stats::kHp;
  energy.name = stats::kEn;
  attack_damage.name = stats::kAd;
  reflex.name = stats::kRe;
  dexterity.name = stats::kAs;
  precision.name = stats::kAc;

  health.Wire(&strength, &agility);
  energy.Wire(&wisdom, &strength);
  attack_damage.Wire(&strength, &wisdom);
  reflex.Wire(&agility, &wisdom);
  dexterity.Wire(&agility, &strength);
  precision.Wire(&wisdom, &agility);

  strength.Link(&health, &attack_damage, &energy, &dexterity);
  wisdom.Link(&energy, &precision, &attack_damage, &reflex);
  agility.Link(&reflex, &dexterity, &health, &precision);

  for (int k = 0; k < elements::kElementCount; ++k) elements[k].name = elements::kElementNames[k];
}

actor& actor::operator=(const actor& other) {
  if (this == &other) return *this;
  id = other.id;
  name = other.name;
  female = other.female;
  player_controlled = other.player_controlled;
  race = other.race;
  race_id = other.race_id;
  career = other.career;
  career_id = other.career_id;
  virtue = other.virtue;
  vice = other.vice;
  strength = other.strength;
  wisdom = other.wisdom;
  agility = other.agility;
  health = other.health;
  energy = other.energy;
  attack_damage = other.attack_damage;
  reflex = other.reflex;
  dexterity = other.dexterity;
  precision = other.precision;
  for (int k = 0; k < elements::kElementCount; ++k) elements[k] = other.elements[k];
  return *this;
}

stat_base* actor::Stat(int index) {
  stat_base* const all[9] = {&strength,      &wisdom, &agility,   &health,   &energy,
                             &attack_damage, &reflex, &dexterity, &precision};
  return index >= 0 && index < 9 ? all[index] : nullptr;
}

const stat_base* actor::Stat(int index) const { return const_cast<actor*>(this)->Stat(index); }

void actor::AddModifiers(const stat_modifiers& bonuses) {
  for (int i = 0; i < 9; ++i) Stat(i)->mod_max(bonuses[i]);
}

void actor::PickRace(const ::race* r) {
  if (!r) return;
  race = r;
  race_id = r->ID();
  AddModifiers(r->modifiers);
  PickVirtueVice(r->virtue, r->vice);
}

void actor::PickCareer(const ::career* c) {
  if (!c) return;
  career = c;
  career_id = c->ID();
  AddModifiers(c->modifiers);
}

void actor::PickVirtueVice(const aspect* actor_virtue, const aspect* actor_vice) {
  for (const aspect* a : {actor_virtue, actor_vice}) {
    if (!a) continue;
    elements[a->strengthens % elements::kElementCount] += aspects::kElementModifier;
    elements[a->weakens % elements::kElementCount] -= aspects::kElementModifier;
  }
}

void actor::Restore() {
  for (int i = 0; i < 9; ++i) Stat(i)->Restore();
}

std::uint32_t actor::Size() const { return record_io::Size(*this); }

std::ostream& operator<<(std::ostream& out, const actor& a) {
  record_io::Write(out, a);
  return out;
}

std::istream& operator>>(std::istream& in, actor& a) {
  record_io::Read(in, a);
  return in;
}
