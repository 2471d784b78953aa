#ifndef OSSIVAR_MODEL_ASPECT_H
#define OSSIVAR_MODEL_ASPECT_H

// A virtue or a vice: it strengthens one element and weakens another.
// Files know an aspect only by its number within its kind, which is the
// index of the element it strengthens.
class aspect {
 public:
  const char* name;
  const char* description;
  unsigned char strengthens;
  unsigned char weakens;

  constexpr aspect(const char* aspect_name, const char* text, unsigned char strong, unsigned char weak)
      : name(aspect_name), description(text), strengthens(strong), weakens(weak) {}
  aspect(const aspect&) = delete;
  aspect& operator=(const aspect&) = delete;
  virtual ~aspect() = default;
};

// Which of the two tables an aspect number is looked up in.
enum class aspect_kind { kVirtue, kVice };

namespace aspects {

extern const aspect temperment;
extern const aspect charity;
extern const aspect diligence;
extern const aspect kindness;
extern const aspect chastity;
extern const aspect patience;
extern const aspect humility;

extern const aspect sloth;
extern const aspect wrath;
extern const aspect greed;
extern const aspect gluttony;
extern const aspect pride;
extern const aspect envy;
extern const aspect lust;

// The step by which an aspect raises and lowers an element.
constexpr unsigned char kElementModifier = 16;

// Numbers outside 0 to 5 give the seventh of the kind (Humility, Lust):
// no lookup fails.
const aspect* FindVirtue(const int& number);
const aspect* FindVice(const int& number);
const aspect* Find(const aspect_kind& kind, const int& number);

}  // namespace aspects

#endif
