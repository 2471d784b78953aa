#ifndef OSSIVAR_TOOLS_TOV_CONTENT_H
#define OSSIVAR_TOOLS_TOV_CONTENT_H

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// The tool's own view of a data file: every field exactly as stored, with
// aspects kept as raw numbers so nothing the file says is lost before it is
// checked or dumped. Texts are byte strings, as the game keeps them.
//
// Each record remembers where it came from (a byte offset or a JSON path)
// for itself and for the fields the checks talk about, so a diagnosis can
// say where the problem is whatever the source was.
namespace tov {

// Where a record and its fields are; "" names the record itself.
struct places {
  std::map<std::string, std::string> at;
  const std::string& operator[](const std::string& field) const;
};

constexpr int kStatCount = 9;
constexpr int kPrimaryCount = 3;
constexpr int kElementCount = 7;

// Field names of the nine stats and seven elements, in file order.
extern const char* const kStatKeys[kStatCount];
extern const char* const kElementKeys[kElementCount];

struct stat_values {
  std::uint16_t base = 0;
  std::uint16_t wound = 0;
  std::uint16_t current = 0;
  std::uint16_t growth = 0;  // stored for the three primaries only
};

struct race_record {
  std::uint32_t id = 0;
  std::string name;
  std::string description;
  std::uint8_t playable = 0;
  std::uint8_t virtue = 0;
  std::uint8_t vice = 0;
  std::array<std::uint16_t, kStatCount> modifiers{};
  places where;
};

struct career_record {
  std::uint32_t id = 0;
  std::string name;
  std::string description;
  std::uint8_t playable = 0;
  std::array<std::uint16_t, kStatCount> modifiers{};
  places where;
};

struct actor_record {
  std::uint32_t id = 0;
  std::string name;
  bool female = false;
  bool player_controlled = false;
  std::uint32_t race_id = 0;
  std::uint32_t career_id = 0;
  std::uint8_t virtue = 0;
  std::uint8_t vice = 0;
  std::array<stat_values, kStatCount> stats{};
  std::array<std::uint8_t, kElementCount> elements{};
  places where;
};

struct party_record {
  std::uint32_t id = 0;
  std::string name;
  bool shared_members = false;
  std::vector<std::uint32_t> members;
  places where;
};

struct content {
  std::string title;
  std::string author;
  std::string description;
  std::array<std::uint8_t, 3> date{};  // year in the century, month, day
  std::vector<race_record> races;
  std::vector<career_record> careers;
  std::vector<actor_record> actors;
  std::vector<party_record> parties;
  // "races" and "parties": where the collections are, for what is missing.
  places where;
};

struct problem {
  std::string where;
  std::string what;
};

using problems = std::vector<problem>;

// Aspect numbers 0 to 6 by kind; anything else has no name.
constexpr std::uint8_t kAspectCount = 7;
const char* VirtueName(const std::uint8_t& number);
const char* ViceName(const std::uint8_t& number);
// The number of the named aspect (any letter case), or -1.
int VirtueNumber(const std::string& name);
int ViceNumber(const std::string& name);

// What the game's lookups return for an identifier: the last record that
// carries it, else the first. Built once per collection, so a reference
// costs the same however many records it may point at.
class lookup {
 public:
  template <typename Record>
  explicit lookup(const std::vector<Record>& records) : empty_(records.empty()) {
    for (std::size_t i = 0; i < records.size(); ++i) last_[records[i].id] = static_cast<int>(i);
  }

  // The position the identifier resolves to; -1 for an empty collection.
  int Resolve(const std::uint32_t& id) const {
    if (empty_) return -1;
    const auto found = last_.find(id);
    return found == last_.end() ? 0 : found->second;
  }
  // Whether a record carries the identifier itself.
  bool Carries(const std::uint32_t& id) const { return last_.count(id) != 0; }

 private:
  std::unordered_map<std::uint32_t, int> last_;
  bool empty_;
};

// The collections references point into.
struct lookups {
  explicit lookups(const content& file) : races(file.races), careers(file.careers), actors(file.actors) {}
  lookup races;
  lookup careers;
  lookup actors;
};

}  // namespace tov

#endif
