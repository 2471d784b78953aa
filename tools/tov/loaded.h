#ifndef OSSIVAR_TOOLS_TOV_LOADED_H
#define OSSIVAR_TOOLS_TOV_LOADED_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data_file/id_lookup.h"
#include "data_file/io_file.h"
#include "data_file/sections.h"
#include "model/fields.h"

// What the tool holds of a data file, read from its bytes or from its JSON
// form: the records as the game holds them, and beside them what only the
// tool needs. For each record, where it and its fields came from (a byte
// offset or a JSON path), so a diagnosis can say where the problem is
// whatever the source was; and its aspect numbers as stored, which the
// record itself keeps only as the aspect they lead to.
namespace tov {

// Where a record and its fields are; "" names the record itself.
struct places {
  std::map<std::string, std::string> at;
  // The field's place, else the record's, else "".
  const std::string& operator[](const std::string& field) const;
};

struct record_notes {
  places where;
  // Aspect numbers as stored, by field key ("virtue", "vice").
  std::map<std::string, int> stored;
  // False for a record the file cut short: the game keeps what it read of
  // it, but there is nothing to check it for.
  bool whole = true;
};

struct problem {
  std::string where;
  std::string what;
};

using problems = std::vector<problem>;

struct loaded {
  std::unique_ptr<tov_file> file = std::make_unique<tov_file>();
  // One entry per record, at the record's position.
  std::map<record_kind, std::vector<record_notes>> records;
  // "" for the whole file, and each collection by its name.
  places where;
  // What keeps the file from being read as the game reads it, or its JSON
  // from being stored as given; and what is harmless but worth knowing,
  // such as a name beside a reference that is not the name of the record
  // it refers to.
  tov::problems problems;
  tov::problems notes;
  // Read well enough to judge its content: a data file whose header the
  // game accepts (magic and first version byte), JSON without problems of
  // form.
  bool accepted = false;
  // A data file whose every section was read to its end: no cut-short
  // record, no unknown tag.
  bool complete = false;

  // The notes of a record; none for one without.
  const record_notes& Notes(const record_kind& kind, const std::size_t& position) const;
};

// What a reference of each kind can lead to: the records the game's lookup
// finds by identifier, with the identifiers and names diagnoses show.
// Built once for all references.
class lookups {
 public:
  struct collection {
    const sections::info* about = nullptr;
    id_lookup find;
    std::vector<std::uint32_t> ids;
    std::vector<std::string> names;
  };

  explicit lookups(const tov_file& file);
  const collection& Of(const record_kind& kind) const { return of_.at(kind); }

 private:
  std::map<record_kind, collection> of_;
};

// Aspect numbers 0 to 6 by kind; anything else has no name.
constexpr int kAspectCount = 7;
const char* AspectName(const aspect_kind& kind, const int& number);
// The number of the named aspect (any letter case), or -1.
int AspectNumber(const aspect_kind& kind, const std::string& name);

std::string Quoted(const std::string& text);
// "1 problem", "2 problems".
std::string Count(const std::size_t& n, const std::string& noun);

}  // namespace tov

#endif
