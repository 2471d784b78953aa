#include "check.h"

#include <algorithm>
#include <string>
#include <utility>

#include "character_sheet/record_list.h"
#include "console/screen_size.h"
#include "data_file/enemy_draw.h"
#include "data_file/play_check.h"
#include "data_file/sections.h"
#include "field_walk.h"
#include "model/aspect.h"
#include "model/party.h"
#include "platform/random.h"

namespace check {

namespace {

using tov::Quoted;

// Lists longer than the game allows, as the field lists declare.
class limits : public tov::field_walk<limits> {
 public:
  limits(const tov::record_notes& notes, const std::string& who, tov::problems& found)
      : notes_(notes), who_(who), found_(found) {}

  void References(const char* key, const std::vector<std::uint32_t>& ids, const record_kind&,
                  const std::size_t& most) {
    if (ids.size() <= most) return;
    found_.push_back({notes_.where[key], who_ + " has " + std::to_string(ids.size()) + " " + key +
                                             "; at most " + std::to_string(most) + " are allowed"});
  }

 private:
  const tov::record_notes& notes_;
  std::string who_;
  tov::problems& found_;
};

class checker {
 public:
  explicit checker(const tov::loaded& loaded) : loaded_(loaded), file_(*loaded.file), index_(file_) {}

  tov::problems Run() {
    sections::ForEach([&](const auto& section) { Identifiers(section.about.kind); });
    sections::ForEach([&](const auto& section) {
      // Walked in the form that fills them: lists as stored.
      auto& records = *loaded_.file.*section.records;
      for (std::size_t i = 0; i < records.size(); ++i) {
        const tov::record_notes& notes = loaded_.Notes(section.about.kind, i);
        if (!notes.whole) continue;
        limits over(notes, section.about.noun + std::string(" ") + Quoted(records[i].name.str()), found_);
        records[i].Fields(over);
        Record(std::as_const(records[i]), notes);
      }
    });
    Playable();
    return std::move(found_);
  }

 private:
  void Report(const std::string& where, const std::string& what) { found_.push_back({where, what}); }

  // Saves renumber every record to its position, so any other identifier
  // is not what the author meant to keep.
  void Identifiers(const record_kind& kind) {
    const tov::lookups::collection& records = index_.Of(kind);
    for (std::size_t i = 0; i < records.ids.size(); ++i) {
      const tov::record_notes& notes = loaded_.Notes(kind, i);
      if (records.ids[i] == i || !notes.whole) continue;
      Report(notes.where["id"], std::string(records.about->noun) + " " + Quoted(records.names[i]) +
                                    " has identifier " + std::to_string(records.ids[i]) +
                                    " but is at position " + std::to_string(i) +
                                    "; identifiers must equal positions");
    }
  }

  void Record(const race& r, const tov::record_notes& notes) {
    Aspects(notes, "race " + Quoted(r.name.str()));
  }
  void Record(const career&, const tov::record_notes&) {}

  void Record(const actor& a, const tov::record_notes& notes) {
    const std::string who = "actor " + Quoted(a.name.str());
    Reference(record_kind::kRace, a.race_id, notes.where["race_id"], who);
    Reference(record_kind::kCareer, a.career_id, notes.where["career_id"], who);
    Aspects(notes, who);
  }

  void Record(const party& p, const tov::record_notes& notes) {
    const std::string who = "party " + Quoted(p.name.str());
    const std::size_t count = p.member_ids.size();
    for (std::size_t j = 0; j < count; ++j) {
      const std::string& where = notes.where["members[" + std::to_string(j) + "]"];
      Reference(record_kind::kActor, p.member_ids[j], where, who + " member " + std::to_string(j));
    }
  }

  void Aspects(const tov::record_notes& notes, const std::string& whose) {
    for (const auto& [key, kind] :
         {std::pair{"virtue", aspect_kind::kVirtue}, std::pair{"vice", aspect_kind::kVice}}) {
      const auto stored = notes.stored.find(key);
      if (stored == notes.stored.end() || stored->second < tov::kAspectCount) continue;
      Report(notes.where[key], whose + " has " + key + " number " + std::to_string(stored->second) +
                                   ", outside 0 to 6; the game reads it as " +
                                   aspects::Find(kind, stored->second)->name);
    }
  }

  void Reference(const record_kind& kind, const std::uint32_t& id, const std::string& where,
                 const std::string& who) {
    const tov::lookups::collection& to = index_.Of(kind);
    const std::string refers = who + " refers to " + to.about->noun + " " + std::to_string(id);
    if (to.ids.empty()) {
      Report(where, refers + " but the file has no " + to.about->collection);
    } else if (!to.find.Carries(id)) {
      Report(where, refers + ", which does not exist; the game falls back to " + to.about->noun + " " +
                        std::to_string(to.ids[0]) + " " + Quoted(to.names[0]));
    }
  }

  // What the game itself would refuse the file for, by its own rule. A file
  // it cannot read, or stops reading early, is named where the bytes are.
  void Playable() {
    for (const play_check::problem& p : play_check::Problems(file_, play_check::use::kNewGame)) {
      const tov::record_notes& notes = loaded_.Notes(record_kind::kParty, p.party);
      const std::string name =
          p.party < file_.parties.size() ? Quoted(file_.parties[p.party].name.str()) : "";
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
          Report(notes.where["members"],
                 p.party == 0
                     ? "the player's party " + name + " has no members; a new game needs a slot for the hero"
                     : "enemy party " + name + " has no members to fight");
          break;
        case play_check::fault::kUnfitMember:
          Report(notes.where["members[" + std::to_string(p.member) + "]"],
                 "party " + name + " member " + std::to_string(p.member) +
                     " has no race or career to fight with");
          break;
        default:
          break;
      }
    }
  }

  const tov::loaded& loaded_;
  const tov_file& file_;
  const tov::lookups index_;
  tov::problems found_;
};

}  // namespace

tov::problems Content(const tov::loaded& file) { return checker(file).Run(); }

namespace {

// Fewer draws than this in all the random source gives is less than one
// battle in a hundred.
constexpr int kRareDraws = rng::kDrawCount / 100;

// The game's own list screen, measured as it would draw with this content.
template <typename Collection>
void TooLong(const Collection& records, const CharGen::record_list& list, const char* what,
             const std::string& where, tov::problems& found) {
  const int lines = CharGen::ScreenLines(list, records);
  if (lines <= console::kScreenLines) return;
  const auto playable =
      std::count_if(records.begin(), records.end(), [](const auto& r) { return r.playable != 0; });
  found.push_back({where, tov::Count(playable, std::string("playable ") + what) + " make the " + what +
                              " screen " + std::to_string(lines) + " lines long; the terminal shows " +
                              std::to_string(console::kScreenLines) + ", so the character sheet scrolls away"});
}

void Parties(const tov::loaded& loaded, tov::problems& found) {
  const std::deque<party>& parties = loaded.file->parties;
  const std::vector<int> chances = enemy_draw::Chances(parties.size());
  // Positions only grow with the draw.
  const std::size_t last_drawn = enemy_draw::Position(rng::kDrawCount - 1, parties.size());
  for (std::size_t p = 1; p < parties.size(); ++p) {
    const std::string where = PartyPlace(loaded, p);
    if (chances[p] == 0) {
      found.push_back({where, "enemy party at position " + std::to_string(p) +
                                  " is never fought: battles draw only the parties at positions 1 to " +
                                  std::to_string(last_drawn)});
    } else if (chances[p] < kRareDraws) {
      found.push_back({where, "enemy party at position " + std::to_string(p) + " is fought in only " +
                                  std::to_string(chances[p]) + " of " + std::to_string(rng::kDrawCount) +
                                  " battles: practically never"});
    }
  }
}

}  // namespace

std::string PartyPlace(const tov::loaded& file, const std::size_t& position) {
  return file.Notes(record_kind::kParty, position).where[""] + " " +
         tov::Quoted(file.file->parties[position].name.str());
}

tov::problems Warnings(const tov::loaded& loaded) {
  const tov_file& file = *loaded.file;
  tov::problems found;
  Parties(loaded, found);
  TooLong(file.races, CharGen::kRaceList, "race", loaded.where["races"], found);
  TooLong(file.careers, CharGen::kCareerList, "career", loaded.where["careers"], found);
  return found;
}

}  // namespace check
