#include <algorithm>
#include <vector>

#include "data_file/id_lookup.h"
#include "data_file/sections.h"
#include "json_form.h"
#include "json_values.h"
#include "model/aspect.h"

namespace json_form {

namespace {

using json_values::fields;
using json_values::Index;
using json_values::json;
using json_values::reader;

// A reference given by identifier, by name or both; resolved once every
// record has been read, since names need the records they name.
struct reference {
  std::uint32_t* id;
  fields where;
  std::string id_key;
  std::string name_key;
  tov::places* places;
  record_kind kind;
};

// Fills a record from its JSON object, walking its field list.
class filler {
 public:
  filler(reader& r, std::vector<reference>& pending, const fields& object, tov::record_notes& notes)
      : r_(r), pending_(pending), f_(object), notes_(notes) {}

  void Size(const char*, const size_field&) {}
  void Id(const char* key, std::uint32_t& id) {
    notes_.where.at[key] = f_.Get(key) ? f_.At(key) : f_.path();
    r_.Whole(f_.Get(key), f_.At(key), id);
  }
  template <typename T>
  void Text(const char* key, pstr<T>& text) {
    r_.Text(f_.Need(key), f_.At(key), text);
  }
  void Flag(const char* key, bool& flag, const presence& given) {
    r_.Bool(Value(key, given), f_.At(key), flag);
  }
  void Flag(const char* key, unsigned char& flag, const presence& given) {
    r_.Flag(Value(key, given), f_.At(key), flag);
  }
  void Aspect(const char* key, const aspect*& a, const aspect_kind& kind) {
    notes_.where.at[key] = f_.At(key);
    int number = 0;
    r_.Aspect(f_.Need(key), f_.At(key), kind, number);
    notes_.stored[key] = number;
    a = aspects::Find(kind, number);
  }
  void Reference(const char* key, std::uint32_t& id, const record_kind& kind) {
    if (!f_.ok()) return;
    pending_.push_back({&id, f_, key, json_form::NameKey(key), &notes_.where, kind});
  }
  void References(const char* key, std::vector<std::uint32_t>& ids, const record_kind& kind,
                  const std::size_t&) {
    notes_.where.at[key] = f_.At(key);
    const json* list = f_.Need(key);
    if (!list) return;
    if (!list->is_array()) return r_.Problem(f_.At(key), "must be an array");
    // Pointers into the list wait for resolving, so it is sized once.
    ids.assign(list->size(), 0);
    for (std::size_t m = 0; m < list->size(); ++m) {
      const std::string at = Index(f_.At(key), m);
      notes_.where.at[Index(key, m)] = at;
      const json& item = (*list)[m];
      if (item.is_number()) {
        r_.Whole(&item, at, ids[m]);
      } else {
        fields named(r_, item, at, f_.Shape(key).at(0));
        if (named.ok()) pending_.push_back({&ids[m], named, "id", "name", nullptr, kind});
      }
    }
  }
  void Points(const char* key, unsigned short& value, const presence& given) {
    r_.StatValue(Value(key, given), f_.At(key), f_.Shape(key), value);
  }
  void Affinity(const char* key, unsigned char& value) { r_.Whole(f_.Need(key), f_.At(key), value); }
  template <class Fields>
  void Group(const char* key, Fields&& walk) {
    const json* j = f_.Need(key);
    if (!j) return;
    fields group(r_, *j, f_.At(key), f_.Shape(key));
    if (!group.ok()) return;
    filler inner(r_, pending_, group, notes_);
    walk(inner);
  }

  // The header's: what the writer makes itself is not given.
  void Mark(const char*, const mark&) {}
  void Date(const char* key, signed char (&date)[3]) {
    const json* j = f_.Get(key);
    if (!j) return;
    fields parts(r_, *j, f_.At(key), f_.Shape(key));
    if (!parts.ok()) return;
    for (std::size_t i = 0; i < sizeof date; ++i) {
      unsigned char part = 0;
      r_.Whole(parts.Need(kDateParts[i]), parts.At(kDateParts[i]), part);
      date[i] = static_cast<signed char>(part);
    }
    dated = true;
  }

  // Whether a date was given.
  bool dated = false;

 private:
  const json* Value(const char* key, const presence& given) const {
    return given == presence::kOptional ? f_.Get(key) : f_.Need(key);
  }

  reader& r_;
  std::vector<reference>& pending_;
  const fields& f_;
  tov::record_notes& notes_;
};

class document_reader {
 public:
  explicit document_reader(tov::loaded& out) : out_(out), r_(out.problems, out.notes) {}

  void Read(const json& j) {
    fields top(r_, j, "$", json_form::Shape());
    if (!top.ok()) return;
    Header(top);
    tov_file& file = *out_.file;
    sections::ForEach([&](const auto& section) { Collection(top, section.about, file.*section.records); });
    // Built once: a lookup per reference would make a large file take ages.
    const tov::lookups index(file);
    for (const reference& ref : pending_) Resolve(ref, index);
    Link(file, index);
  }

 private:
  void Header(const fields& top) {
    const json* header = top.Need("header");
    if (!header) return;
    tov_file& file = *out_.file;
    const fields h(r_, *header, top.At("header"), top.Shape("header"));
    tov::record_notes notes;
    filler fill(r_, pending_, h, notes);
    file.HeaderFields(fill);
    // A date given is kept, so the same source builds the same bytes on any day.
    file.keep_date = fill.dated;
  }

  template <typename Record>
  void Collection(const fields& top, const sections::info& about, std::deque<Record>& records) {
    const std::string at = top.At(about.collection);
    out_.where.at[about.collection] = at;
    const json* list = top.Need(about.collection);
    if (!list) return;
    if (!list->is_array()) return r_.Problem(at, "must be an array");
    if (list->size() > section_frame::kMostRecords) {
      const std::string most = std::to_string(section_frame::kMostRecords);
      r_.Problem(at, "holds " + std::to_string(list->size()) + " records; a file holds at most " + most);
    }
    std::vector<tov::record_notes>& notes = out_.records[about.kind];
    notes.resize(list->size());
    const nlohmann::ordered_json& shape = top.Shape(about.collection).at(0);
    for (std::size_t i = 0; i < list->size(); ++i) {
      Record& record = records.emplace_back();
      const std::string path = Index(at, i);
      notes[i].where.at[""] = path;
      const fields f(r_, (*list)[i], path, shape);
      // A record's identifier is its position unless it says otherwise;
      // what is no object still takes a place: nameless, with identifier 0.
      record.id = f.ok() ? static_cast<std::uint32_t>(i) : 0;
      filler fill(r_, pending_, f, notes[i]);
      record.Fields(fill);
    }
  }

  // The records point at each other as the game's reader would leave them
  // after reading them in this order, so the game's own rules judge them.
  static void Link(tov_file& file, const tov::lookups& index) {
    file.open_result = tov_file::kAccepted;
    const auto find = [&](auto& records, const record_kind& kind, const std::uint32_t& id) {
      const std::size_t at = index.Of(kind).find.Find(id);
      return at == id_lookup::kNone ? nullptr : &records[at];
    };
    for (actor& a : file.actors) {
      a.race = find(file.races, record_kind::kRace, a.race_id);
      a.career = find(file.careers, record_kind::kCareer, a.career_id);
    }
    for (party& p : file.parties) {
      // A party larger than a file can hold is a problem of its own, and
      // is not worth a copy of every member.
      if (p.member_ids.size() > party::kMaxMembers) continue;
      p.ResolveMembers([&](std::uint32_t id) { return find(file.actors, record_kind::kActor, id); });
    }
  }

  void Resolve(const reference& ref, const tov::lookups& index) {
    const tov::lookups::collection& to = index.Of(ref.kind);
    const json* id = ref.where.Get(ref.id_key);
    const json* name = ref.where.Get(ref.name_key);
    std::string wanted;
    const bool named = name && !name->is_null();
    // A name that is no usable text is reported there and matched with nothing.
    const bool usable = named && r_.Text(name, ref.where.At(ref.name_key), 255, wanted);
    if (ref.places) ref.places->at[ref.id_key] = ref.where.At(id ? ref.id_key : ref.name_key);
    if (id) {
      if (!r_.Whole(id, ref.where.At(ref.id_key), *ref.id) || !usable || !to.find.Carries(*ref.id)) return;
      const std::string& found = to.names[to.find.Find(*ref.id)];
      if (found != wanted) {
        r_.Note(ref.where.At(ref.name_key), "says \"" + name->get<std::string>() + "\" but " +
                                                to.about->noun + " " + std::to_string(*ref.id) + " is \"" +
                                                found + "\"; the identifier decides");
      }
      return;
    }
    if (!named) {
      return r_.Problem(ref.where.At(ref.id_key),
                        "required field is missing (or give \"" + ref.name_key + "\" by name)");
    }
    if (!usable) return;
    const auto match = std::find(to.names.begin(), to.names.end(), wanted);
    if (match != to.names.end()) *ref.id = to.ids[match - to.names.begin()];
    if (match == to.names.end() || std::find(match + 1, to.names.end(), wanted) != to.names.end()) {
      r_.Problem(ref.where.At(ref.name_key), std::string(match == to.names.end() ? "no " : "more than one ") +
                                                 to.about->noun + " is named \"" + name->get<std::string>() +
                                                 "\"; give \"" + ref.id_key + "\"");
    }
  }

  tov::loaded& out_;
  reader r_;
  std::vector<reference> pending_;
};

}  // namespace

tov::loaded Read(const std::string& text) {
  tov::loaded out;
  json document;
  try {
    document = json::parse(text);
  } catch (const json::exception& error) {  // also numbers too large for a double
    std::string what = error.what();
    const std::size_t tag_end = what.find("] ");
    if (tag_end != std::string::npos) what = what.substr(tag_end + 2);
    out.problems.push_back({"", "not valid JSON: " + what});
    return out;
  }
  document_reader(out).Read(document);
  out.accepted = out.problems.empty();
  return out;
}

}  // namespace json_form
