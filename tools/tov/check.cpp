#include "check.h"

#include <string>

#include "data_file/play_check.h"
#include "data_file/sections.h"
#include "model/party.h"

namespace check {

namespace {

using tov::Quoted;

class checker {
 public:
  explicit checker(const tov::loaded& loaded) : loaded_(loaded), file_(*loaded.file), index_(file_) {}

  tov::problems Run() {
    sections::ForEach([&](const auto& section) { Identifiers(section.about, file_.*section.records); });
    for (std::size_t i = 0; i < file_.races.size(); ++i) {
      if (Whole(record_kind::kRace, i)) Aspects(Notes(record_kind::kRace, i), "race " + Name(file_.races[i]));
    }
    for (std::size_t i = 0; i < file_.actors.size(); ++i) {
      if (Whole(record_kind::kActor, i)) Actor(file_.actors[i], Notes(record_kind::kActor, i));
    }
    for (std::size_t i = 0; i < file_.parties.size(); ++i) {
      if (Whole(record_kind::kParty, i)) Party(file_.parties[i], Notes(record_kind::kParty, i));
    }
    Playable();
    return std::move(found_);
  }

 private:
  void Report(const std::string& where, const std::string& what) { found_.push_back({where, what}); }

  const tov::record_notes& Notes(const record_kind& kind, const std::size_t& i) const {
    return loaded_.Notes(kind, i);
  }
  bool Whole(const record_kind& kind, const std::size_t& i) const { return Notes(kind, i).whole; }

  template <typename Record>
  static std::string Name(const Record& record) {
    return Quoted(record.name.str());
  }

  // Saves renumber every record to its position, so any other identifier
  // is not what the author meant to keep.
  template <typename Collection>
  void Identifiers(const sections::info& about, const Collection& records) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].id == i || !Whole(about.kind, i)) continue;
      Report(Notes(about.kind, i).where["id"], std::string(about.noun) + " " + Name(records[i]) +
                                                   " has identifier " + std::to_string(records[i].id) +
                                                   " but is at position " + std::to_string(i) +
                                                   "; identifiers must equal positions");
    }
  }

  void Aspects(const tov::record_notes& notes, const std::string& whose) {
    for (const auto& [key, fallback] : {std::pair{"virtue", "Humility"}, std::pair{"vice", "Lust"}}) {
      const auto stored = notes.stored.find(key);
      if (stored == notes.stored.end() || stored->second < tov::kAspectCount) continue;
      Report(notes.where[key], whose + " has " + key + " number " + std::to_string(stored->second) +
                                   ", outside 0 to 6; the game reads it as " + fallback);
    }
  }

  template <typename Collection>
  void Reference(const Collection& records, const record_kind& kind, const std::uint32_t& id,
                 const std::string& where, const std::string& who, const std::string& noun,
                 const std::string& nouns) {
    if (records.empty()) {
      Report(where, who + " refers to " + noun + " " + std::to_string(id) + " but the file has no " + nouns);
    } else if (!index_.Of(kind).Carries(id)) {
      Report(where, who + " refers to " + noun + " " + std::to_string(id) + ", which does not exist; the game " +
                        "falls back to " + noun + " " + std::to_string(records[0].id) + " " + Name(records[0]));
    }
  }

  void Actor(const actor& a, const tov::record_notes& notes) {
    const std::string who = "actor " + Name(a);
    Reference(file_.races, record_kind::kRace, a.race_id, notes.where["race_id"], who, "race", "races");
    Reference(file_.careers, record_kind::kCareer, a.career_id, notes.where["career_id"], who, "career",
              "careers");
    Aspects(notes, who);
  }

  void Party(const party& p, const tov::record_notes& notes) {
    const std::string who = "party " + Name(p);
    if (p.member_ids.size() > party::kMaxMembers) {
      Report(notes.where["members"], who + " has " + std::to_string(p.member_ids.size()) + " members; at most " +
                                         std::to_string(party::kMaxMembers) + " are allowed");
    }
    for (std::size_t j = 0; j < p.member_ids.size(); ++j) {
      Reference(file_.actors, record_kind::kActor, p.member_ids[j],
                notes.where["members[" + std::to_string(j) + "]"], who + " member " + std::to_string(j), "actor",
                "actors");
    }
  }

  // What the game itself would refuse the file for, by its own rule. A file
  // it cannot read, or stops reading early, is named where the bytes are.
  void Playable() {
    for (const play_check::problem& p : play_check::Problems(file_, play_check::use::kNewGame)) {
      switch (p.kind) {
        case play_check::fault::kNoPlayableRace:
          Report(loaded_.where["races"], "no race is playable: character creation would offer none");
          break;
        case play_check::fault::kNoParties:
          Report(loaded_.where["parties"], "there is no player's party: the file has no parties");
          break;
        case play_check::fault::kNoEnemyParty:
          Report(loaded_.where["parties"],
                 "there is no enemy party: a battle needs a party after the player's");
          break;
        case play_check::fault::kEmptyParty:
          EmptyParty(p.party);
          break;
        case play_check::fault::kUnfitMember:
          Report(Notes(record_kind::kParty, p.party).where["members[" + std::to_string(p.member) + "]"],
                 "party " + Name(file_.parties[p.party]) + " member " + std::to_string(p.member) +
                     " has no race or career to fight with");
          break;
        default:
          break;
      }
    }
  }

  void EmptyParty(const std::size_t& position) {
    const party& p = file_.parties[position];
    const std::string& where = Notes(record_kind::kParty, position).where["members"];
    if (position == 0) {
      Report(where, "the player's party " + Name(p) + " has no members; a new game needs a slot for the hero");
    } else {
      Report(where, "enemy party " + Name(p) + " has no members to fight");
    }
  }

  const tov::loaded& loaded_;
  const tov_file& file_;
  const tov::lookups index_;
  tov::problems found_;
};

}  // namespace

tov::problems Content(const tov::loaded& file) { return checker(file).Run(); }

}  // namespace check
