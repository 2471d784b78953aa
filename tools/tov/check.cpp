#include "check.h"

#include <string>

#include "model/party.h"

namespace check {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class checker {
 public:
  explicit checker(const tov::content& file) : file_(file), index_(file) {}

  tov::problems Run() {
    Identifiers(file_.races, "race");
    Identifiers(file_.careers, "career");
    Identifiers(file_.actors, "actor");
    Identifiers(file_.parties, "party");
    for (const tov::race_record& r : file_.races) {
      Aspects(r.virtue, r.vice, r.where, "race " + Quoted(r.name));
    }
    for (const tov::actor_record& a : file_.actors) Actor(a);
    for (const tov::party_record& p : file_.parties) Party(p);
    Shape();
    return std::move(found_);
  }

 private:
  void Report(const std::string& where, const std::string& what) { found_.push_back({where, what}); }

  // Saves renumber every record to its position without touching the
  // references to it, so any other identifier breaks them on the next save.
  template <typename Record>
  void Identifiers(const std::vector<Record>& records, const std::string& noun) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].id != i) {
        Report(records[i].where["id"], noun + " " + Quoted(records[i].name) + " has identifier " +
                                           std::to_string(records[i].id) + " but is at position " +
                                           std::to_string(i) + "; identifiers must equal positions");
      }
    }
  }

  void Aspects(const std::uint8_t& virtue, const std::uint8_t& vice, const tov::places& where,
               const std::string& whose) {
    if (virtue >= tov::kAspectCount) {
      Report(where["virtue"], whose + " has virtue number " + std::to_string(virtue) +
                                  ", outside 0 to 6; the game reads it as Humility");
    }
    if (vice >= tov::kAspectCount) {
      Report(where["vice"], whose + " has vice number " + std::to_string(vice) +
                                ", outside 0 to 6; the game reads it as Lust");
    }
  }

  template <typename Record>
  void Reference(const std::vector<Record>& records, const tov::lookup& index, const std::uint32_t& id,
                 const std::string& where, const std::string& who, const std::string& noun,
                 const std::string& nouns) {
    if (records.empty()) {
      Report(where, who + " refers to " + noun + " " + std::to_string(id) + " but the file has no " + nouns);
    } else if (!index.Carries(id)) {
      Report(where, who + " refers to " + noun + " " + std::to_string(id) + ", which does not exist; the game " +
                        "falls back to " + noun + " " + std::to_string(records[0].id) + " " +
                        Quoted(records[0].name));
    }
  }

  void Actor(const tov::actor_record& a) {
    const std::string who = "actor " + Quoted(a.name);
    Reference(file_.races, index_.races, a.race_id, a.where["race_id"], who, "race", "races");
    Reference(file_.careers, index_.careers, a.career_id, a.where["career_id"], who, "career", "careers");
    Aspects(a.virtue, a.vice, a.where, who);
  }

  void Party(const tov::party_record& p) {
    const std::string who = "party " + Quoted(p.name);
    if (p.members.size() > party::kMaxMembers) {
      Report(p.where["members"], who + " has " + std::to_string(p.members.size()) + " members; at most " +
                                     std::to_string(party::kMaxMembers) + " are allowed");
    }
    for (std::size_t j = 0; j < p.members.size(); ++j) {
      Reference(file_.actors, index_.actors, p.members[j], p.where["members[" + std::to_string(j) + "]"],
                who + " member " + std::to_string(j), "actor", "actors");
    }
  }

  // A new game puts the hero into the first party's first slot and fights
  // the parties after it; character creation offers only playable races.
  void Shape() {
    if (file_.parties.empty()) {
      Report(file_.where["parties"], "there is no player's party: the file has no parties");
    } else if (file_.parties[0].members.empty()) {
      Report(file_.parties[0].where["members"], "the player's party " + Quoted(file_.parties[0].name) +
                                                    " has no members; a new game needs a slot for the hero");
    }
    if (file_.parties.size() < 2) {
      Report(file_.where["parties"], "there is no enemy party: a battle needs a party after the player's");
    }
    for (std::size_t i = 1; i < file_.parties.size(); ++i) {
      if (file_.parties[i].members.empty()) {
        Report(file_.parties[i].where["members"],
               "enemy party " + Quoted(file_.parties[i].name) + " has no members to fight");
      }
    }
    bool playable = false;
    for (const tov::race_record& r : file_.races) playable = playable || r.playable != 0;
    if (!playable) {
      Report(file_.where["races"], "no race is playable: character creation would offer none");
    }
  }

  const tov::content& file_;
  const tov::lookups index_;
  tov::problems found_;
};

}  // namespace

tov::problems Content(const tov::content& file) { return checker(file).Run(); }

}  // namespace check
