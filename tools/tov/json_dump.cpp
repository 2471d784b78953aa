#include "data_file/sections.h"
#include "json_form.h"
#include "model/aspect.h"

namespace json_form {

namespace {

using json = nlohmann::ordered_json;

// One record's fields as JSON members, in the order of its field list.
class dumper {
 public:
  dumper(const tov::lookups& index, const tov::record_notes& notes, json& out)
      : index_(index), notes_(notes), out_(out) {}

  void Size(const char*, const size_field&) {}  // the writer's to work out
  void Id(const char* key, const std::uint32_t& id) { out_[key] = id; }
  template <typename T>
  void Text(const char* key, const pstr<T>& text) {
    out_[key] = ToUtf8(text.str());
  }
  void Flag(const char* key, const bool& flag, const presence&) { out_[key] = flag; }
  // A flag the game tests for non-zero; other values than 0 and 1 stay exact.
  void Flag(const char* key, const unsigned char& flag, const presence&) {
    out_[key] = flag <= 1 ? json(flag == 1) : json(flag);
  }
  void Aspect(const char* key, const aspect* const& a, const aspect_kind& kind) {
    const auto stored = notes_.stored.find(key);
    const int number = stored != notes_.stored.end() ? stored->second : (a ? a->strengthens : 0);
    const char* name = tov::AspectName(kind, number);
    out_[key] = name ? json(name) : json(number);
  }
  void Reference(const char* key, const std::uint32_t& id, const record_kind& kind) {
    out_[key] = id;
    out_[NameKey(key)] = NameOf(kind, id);
  }
  void References(const char* key, const std::vector<std::uint32_t>& ids, const record_kind& kind,
                  const std::size_t&) {
    json list = json::array();
    for (const std::uint32_t& id : ids) {
      list.push_back(json{{"id", id}, {"name", NameOf(kind, id)}});
    }
    out_[key] = list;
  }
  void Points(const char* key, const unsigned short& value, const presence&) {
    out_[key] = json{{"raw", value}, {"points", value / 256.0}};
  }
  void Affinity(const char* key, const unsigned char& value) { out_[key] = value; }
  template <class Fields>
  void Group(const char* key, Fields&& fields) {
    json group = json::object();
    dumper inner(index_, notes_, group);
    fields(inner);
    out_[key] = group;
  }
  void Mark(const char*, const mark&) {}  // the same in every file
  void Date(const char* key, const signed char (&date)[3]) {
    json parts = json::object();
    for (std::size_t i = 0; i < sizeof date; ++i) parts[kDateParts[i]] = static_cast<unsigned char>(date[i]);
    out_[key] = parts;
  }

 private:
  // The name of the record the game's lookup finds; null in an empty collection.
  json NameOf(const record_kind& kind, const std::uint32_t& id) const {
    const tov::lookups::collection& to = index_.Of(kind);
    const std::size_t at = to.find.Find(id);
    return at == id_lookup::kNone ? json() : json(ToUtf8(to.names[at]));
  }

  const tov::lookups& index_;
  const tov::record_notes& notes_;
  json& out_;
};

constexpr std::size_t kWidth = 100;

// A value on one line when it fits after the `used` columns (or when
// `flat`), else one member per line, `indent` + 2 spaces in. Appended
// piece by piece: no temporary string is built in front of a literal,
// which g++ -O3 misreads as a possibly overlapping copy.
std::string Write(const json& j, const std::size_t& indent, const std::size_t& used, const bool& flat) {
  if (!j.is_structured() || j.empty()) return j.dump();
  if (!flat) {
    std::string line = Write(j, 0, 0, true);
    if (used + line.size() <= kWidth) return line;
  }
  const bool object = j.is_object();
  std::string out(1, object ? '{' : '[');
  bool first = true;
  for (const auto& item : j.items()) {
    if (!first) out += flat ? ", " : ",";
    first = false;
    if (!flat) out.append(1, '\n').append(indent + 2, ' ');
    const std::string key = object ? json(item.key()).dump() + ": " : "";
    out += key;
    out += Write(item.value(), indent + 2, indent + 2 + key.size(), flat);
  }
  if (!flat) out.append(1, '\n').append(indent, ' ');
  out += object ? '}' : ']';
  return out;
}

}  // namespace

std::string Format(const nlohmann::ordered_json& document) { return Write(document, 0, 0, false) + "\n"; }

std::string ToUtf8(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

const nlohmann::ordered_json& Shape() {
  static const json kOneOfEach = [] {
    tov::loaded one;
    sections::ForEach([&](const auto& section) { (one.file.get()->*section.records).emplace_back(); });
    one.file->parties[0].member_ids.push_back(0);
    return Dump(one);
  }();
  return kOneOfEach;
}

nlohmann::ordered_json Dump(const tov::loaded& loaded) {
  // Records are walked in the form that fills them: a party lists its
  // members there as stored, not as the game resolved them.
  tov_file& file = *loaded.file;
  json out;
  const tov::lookups index(file);
  json header = json::object();
  const tov::record_notes no_notes;
  dumper header_fields(index, no_notes, header);
  file.HeaderFields(header_fields);
  out["header"] = header;
  sections::ForEach([&](const auto& section) {
    json list = json::array();
    auto& records = file.*section.records;
    for (std::size_t i = 0; i < records.size(); ++i) {
      json record = json::object();
      dumper visit(index, loaded.Notes(section.about.kind, i), record);
      records[i].Fields(visit);
      list.push_back(record);
    }
    out[section.about.collection] = list;
  });
  return out;
}

std::string NameKey(const std::string& reference_key) {
  return reference_key.ends_with("_id") ? reference_key.substr(0, reference_key.size() - 3) : "";
}

}  // namespace json_form
