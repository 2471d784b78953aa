#include "check.h"

#include <memory>
#include <string>

#include "data_file/play_check.h"
#include "model/party.h"
#include "tov_write.h"

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
    Playable();
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

  // What the game itself would refuse the file for, by its own rule.
  void Playable() {
    std::string error;
    const std::unique_ptr<tov_file> loaded = tov_write::Records(file_, error);
    if (!loaded) return Report(file_.where[""], error);
    for (const play_check::problem& p : play_check::Problems(*loaded, play_check::use::kNewGame)) {
      switch (p.kind) {
        case play_check::fault::kNoPlayableRace:
          Report(file_.where["races"], "no race is playable: character creation would offer none");
          break;
        case play_check::fault::kNoParties:
          Report(file_.where["parties"], "there is no player's party: the file has no parties");
          break;
        case play_check::fault::kNoEnemyParty:
          Report(file_.where["parties"],
                 "there is no enemy party: a battle needs a party after the player's");
          break;
        case play_check::fault::kEmptyParty:
          EmptyParty(p.party);
          break;
        case play_check::fault::kUnfitMember:
          Report(file_.parties[p.party].where["members[" + std::to_string(p.member) + "]"],
                 "party " + Quoted(file_.parties[p.party].name) + " member " + std::to_string(p.member) +
                     " has no race or career to fight with");
          break;
        default:
          break;  // what keeps the game from reading the file is named where the bytes are
      }
    }
  }

  void EmptyParty(const std::size_t& position) {
    const tov::party_record& p = file_.parties[position];
    if (position == 0) {
      Report(p.where["members"], "the player's party " + Quoted(p.name) +
                                     " has no members; a new game needs a slot for the hero");
    } else {
      Report(p.where["members"], "enemy party " + Quoted(p.name) + " has no members to fight");
    }
  }

  const tov::content& file_;
  const tov::lookups index_;
  tov::problems found_;
};

}  // namespace

tov::problems Content(const tov::content& file) { return checker(file).Run(); }

}  // namespace check
