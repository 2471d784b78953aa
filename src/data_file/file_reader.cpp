#include "data_file/file_reader.h"

#include <iostream>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "console/console_util.h"
#include "data_file/id_lookup.h"
#include "data_file/sections.h"
#include "model/binary_io.h"
#include "model/record_io.h"

namespace file_reader {

namespace {

constexpr std::size_t kNoRecord = id_lookup::kNone;

// Positions an actor's race and career were resolved to while reading.
struct origin_refs {
  std::size_t race = kNoRecord;
  std::size_t career = kNoRecord;
};

// What one resolved party slot was resolved to while reading.
struct member_ref {
  std::size_t actor = kNoRecord;
  std::uint32_t actor_id = 0;
  origin_refs copy;  // the private copy's own race and career
};

// Reads sections into the file's collections and resolves the references
// between records as they come.
//
// A repeated section may shrink a collection other records already point
// into. Every resolved reference is therefore also kept as a position, so
// that references to removed records can be looked up again at the end
// instead of left dangling. Records an earlier reading left in the file
// have no positions from this one; what they point at is checked against
// the records this reading removed.
class section_reader {
 public:
  section_reader(tov_file& file, const std::size_t& copy_budget) : file_(file), copy_budget_(copy_budget) {
    // Records an earlier reading left are looked up like this reading's own.
    sections::ForEach([&](const auto& section) {
      const auto& records = file_.*section.records;
      for (const auto& record : records) Indexed(records).ids.push_back(record.id);
    });
  }

  bool too_large = false;

  // False when the bytes end before the section's last record does.
  template <class Record>
  bool Read(const sections::section<Record>& section, binary_io::memory_source& in,
            const std::uint16_t& count) {
    std::deque<Record>& records = file_.*section.records;
    index& indexed = Indexed(records);
    indexed.stale = true;
    if (records.size() > count) shrank_ = true;
    while (records.size() > count) {
      indexed.removed[&records.back()] = records.back().id;
      records.pop_back();
    }
    indexed.ids.resize(records.size());
    // Records are made only as the bytes hold them: a count that promises
    // more than there is invents no default records.
    for (std::size_t i = 0; i < count; ++i) {
      if (in.left() == 0) return false;
      if (i == records.size()) records.emplace_back();
      record_io::ReadFrom(in, records[i]);
      if (i == indexed.ids.size()) indexed.ids.push_back(0);
      indexed.ids[i] = records[i].id;
      Resolve(records, i);
      if (in.cut_short || too_large) return false;
    }
    return true;
  }

  // Points references to records that a later section removed at what their
  // identifiers name now. Nothing else moves.
  void Finish() {
    if (!shrank_) return;
    for (std::size_t i = 0; i < file_.actors.size(); ++i) {
      if (i < actor_refs_.size()) {
        Repoint(file_.actors[i], actor_refs_[i]);
      } else {
        RepointEarlier(file_.actors[i]);
      }
    }
    for (std::size_t p = 0; p < file_.parties.size(); ++p) {
      party& group = file_.parties[p];
      if (p >= party_refs_.size()) {
        RepointEarlier(group);
        continue;
      }
      const std::vector<member_ref>& refs = party_refs_[p];
      if (group.shared_members) {
        std::vector<actor*> members;
        for (const member_ref& ref : refs) {
          const std::size_t at = ref.actor < file_.actors.size() ? ref.actor : Actors().Find(ref.actor_id);
          if (at != kNoRecord) members.push_back(&file_.actors[at]);
        }
        group.members = members;
        group.member_count = static_cast<unsigned char>(members.size());
      } else {
        for (std::size_t j = 0; j < refs.size() && j < group.members.size(); ++j) {
          Repoint(*group.members[j], refs[j].copy);
        }
      }
    }
  }

 private:
  // The identifiers are kept in step with the collection as records are
  // read, so that building a lookup does not walk every record again.
  struct index {
    id_lookup lookup;
    bool stale = true;
    std::vector<std::uint32_t> ids;
    // Where the records this reading removed were, and their identifiers.
    std::unordered_map<const void*, std::uint32_t> removed;
  };

  index& Indexed(const std::deque<race>&) { return races_; }
  index& Indexed(const std::deque<career>&) { return careers_; }
  index& Indexed(const std::deque<actor>&) { return actors_; }
  index& Indexed(const std::deque<party>&) { return parties_; }

  template <class Record>
  const id_lookup& Current(const std::deque<Record>& records) {
    index& i = Indexed(records);
    if (i.stale) i.lookup.BuildFromIds(i.ids);
    i.stale = false;
    return i.lookup;
  }
  const id_lookup& Races() { return Current(file_.races); }
  const id_lookup& Careers() { return Current(file_.careers); }
  const id_lookup& Actors() { return Current(file_.actors); }

  template <class Record>
  void Resolve(std::deque<Record>&, const std::size_t& i) {
    if constexpr (std::is_same_v<Record, actor>) ResolveActor(i);
    if constexpr (std::is_same_v<Record, party>) ResolveParty(i);
  }

  void ResolveActor(const std::size_t& i) {
    actor& a = file_.actors[i];
    if (actor_refs_.size() <= i) actor_refs_.resize(i + 1);
    origin_refs& refs = actor_refs_[i];
    refs.race = Races().Find(a.race_id);
    refs.career = Careers().Find(a.career_id);
    a.race = refs.race == kNoRecord ? nullptr : &file_.races[refs.race];
    a.career = refs.career == kNoRecord ? nullptr : &file_.careers[refs.career];
  }

  void ResolveParty(const std::size_t& i) {
    if (party_refs_.size() <= i) party_refs_.resize(i + 1);
    std::vector<member_ref>& refs = party_refs_[i];
    refs.clear();
    party& group = file_.parties[i];
    refs.reserve(group.member_ids.size());
    const id_lookup& actors = Actors();
    group.ResolveMembers([&](std::uint32_t id) -> actor* {
      const std::size_t at = actors.Find(id);
      if (at == kNoRecord || too_large) return nullptr;
      if (!group.shared_members && !Afford(file_.actors[at])) return nullptr;
      refs.push_back({at, id, actor_refs_[at]});
      return &file_.actors[at];
    });
  }

  bool Afford(const actor& copied) {
    copies_cost_ += sizeof(actor) + copied.name.length;
    too_large = copies_cost_ > copy_budget_;
    return !too_large;
  }

  void Repoint(actor& a, const origin_refs& refs) {
    a.race = Pick(file_.races, Races(), refs.race, a.race_id);
    a.career = Pick(file_.careers, Careers(), refs.career, a.career_id);
  }

  // The record the identifier leads to now, or nullptr.
  template <typename Record>
  Record* Lookup(std::deque<Record>& records, const std::uint32_t& id) {
    const std::size_t at = Current(records).Find(id);
    return at == kNoRecord ? nullptr : &records[at];
  }

  // Only a reference to a removed record changes: to what the identifier
  // it was made with leads to now.
  template <typename Record>
  const Record* StillThere(std::deque<Record>& records, const Record* at, const std::uint32_t& id) {
    return Indexed(records).removed.count(at) == 0 ? at : Lookup(records, id);
  }

  void RepointEarlier(actor& a) {
    a.race = StillThere(file_.races, a.race, a.race_id);
    a.career = StillThere(file_.careers, a.career, a.career_id);
  }

  // A shared member that was removed gives way to the actor now carrying
  // its identifier; private members are the party's own copies.
  void RepointEarlier(party& group) {
    std::vector<actor*> members;
    for (actor* member : group.members) {
      const auto gone = actors_.removed.find(member);
      if (!group.shared_members) {
        if (member) RepointEarlier(*member);
      } else if (gone != actors_.removed.end()) {
        member = Lookup(file_.actors, gone->second);
        if (!member) continue;  // no actor is left to take its place
      }
      members.push_back(member);
    }
    group.members = members;
    group.member_count = static_cast<unsigned char>(members.size());
  }

  template <typename Record>
  static const Record* Pick(const std::deque<Record>& records, const id_lookup& lookup, std::size_t at,
                            const std::uint32_t& id) {
    if (at == kNoRecord) return nullptr;
    if (at >= records.size()) at = lookup.Find(id);
    return at == kNoRecord ? nullptr : &records[at];
  }

  tov_file& file_;
  index races_;
  index careers_;
  index actors_;
  index parties_;
  std::vector<origin_refs> actor_refs_;
  std::vector<std::vector<member_ref>> party_refs_;
  bool shrank_ = false;
  std::size_t copy_budget_;
  std::size_t copies_cost_ = 0;
};

void ReportUnknownTag() {
  std::cout << "\n\n\t\tERROR: UNKNOWN TAG.\n\n" << std::endl;
  console::Pause();
}

}  // namespace

result ReadSections(tov_file& file, std::string& bytes, const std::size_t& start, const bool& quiet) {
  result out;
  section_reader reader(file, kCopyBytesPerFileByte * bytes.size() + kCopyAllowance);
  auto in = binary_io::memory_source::Lending(bytes.data(), bytes.size(), start);
  while (in.left() > 0) {
    const std::size_t at = in.pos;
    const auto stop = [&] {
      out.stopped_early = true;
      out.stopped_at = at;
    };
    section_frame frame;
    if (in.left() < sizeof frame.tag) {
      stop();  // stray bytes: no tag there
      if (!quiet) ReportUnknownTag();
      break;
    }
    bool whole = true;
    const bool known = sections::ForTag(bytes.data() + at, [&](const auto& section) {
      // A section header the bytes cut short has no count to trust.
      if (!frame_io::Read(in, frame)) {
        whole = false;
        in.pos += in.left();
        return;
      }
      whole = reader.Read(section, in, frame.count);
      if (!quiet && !reader.too_large) std::cout << section.about.report << std::endl;
    });
    if (!known) {
      stop();
      if (!quiet) ReportUnknownTag();
      break;
    }
    if (reader.too_large) {
      out.too_large = true;
      return out;
    }
    if (!whole) {
      stop();
      break;
    }
  }
  reader.Finish();
  return out;
}

}  // namespace file_reader
