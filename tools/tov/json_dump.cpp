#include "json_dump.h"

namespace json_dump {

namespace {

using json = nlohmann::ordered_json;

json Value(const std::uint16_t& raw) { return json{{"raw", raw}, {"points", raw / 256.0}}; }

// A flag the game tests for non-zero; other values than 0 and 1 stay exact.
json Flag(const std::uint8_t& value) { return value <= 1 ? json(value == 1) : json(value); }

json Aspect(const std::uint8_t& number, const char* name) { return name ? json(name) : json(number); }

json Modifiers(const std::array<std::uint16_t, tov::kStatCount>& modifiers) {
  json out = json::object();
  for (int s = 0; s < tov::kStatCount; ++s) out[tov::kStatKeys[s]] = Value(modifiers[s]);
  return out;
}

template <typename Record>
json NameOf(const std::vector<Record>& records, const tov::lookup& index, const std::uint32_t& id) {
  const int found = index.Resolve(id);
  return found < 0 ? json(nullptr) : json(ToUtf8(records[found].name));
}

json Race(const tov::race_record& r) {
  return json{{"id", r.id},
              {"name", ToUtf8(r.name)},
              {"description", ToUtf8(r.description)},
              {"playable", Flag(r.playable)},
              {"virtue", Aspect(r.virtue, tov::VirtueName(r.virtue))},
              {"vice", Aspect(r.vice, tov::ViceName(r.vice))},
              {"modifiers", Modifiers(r.modifiers)}};
}

json Career(const tov::career_record& c) {
  return json{{"id", c.id},
              {"name", ToUtf8(c.name)},
              {"description", ToUtf8(c.description)},
              {"playable", Flag(c.playable)},
              {"modifiers", Modifiers(c.modifiers)}};
}

json Stats(const tov::actor_record& a) {
  json out = json::object();
  for (int s = 0; s < tov::kStatCount; ++s) {
    const tov::stat_values& v = a.stats[s];
    json stat{{"base", Value(v.base)}, {"wound", Value(v.wound)}, {"current", Value(v.current)}};
    if (s < tov::kPrimaryCount) stat["growth"] = Value(v.growth);
    out[tov::kStatKeys[s]] = stat;
  }
  return out;
}

json Actor(const tov::actor_record& a, const tov::content& file, const tov::lookups& index) {
  json elements = json::object();
  for (int e = 0; e < tov::kElementCount; ++e) elements[tov::kElementKeys[e]] = a.elements[e];
  return json{{"id", a.id},
              {"name", ToUtf8(a.name)},
              {"female", a.female},
              {"player_controlled", a.player_controlled},
              {"race_id", a.race_id},
              {"race", NameOf(file.races, index.races, a.race_id)},
              {"career_id", a.career_id},
              {"career", NameOf(file.careers, index.careers, a.career_id)},
              {"virtue", Aspect(a.virtue, tov::VirtueName(a.virtue))},
              {"vice", Aspect(a.vice, tov::ViceName(a.vice))},
              {"stats", Stats(a)},
              {"elements", elements}};
}

json Party(const tov::party_record& p, const tov::content& file, const tov::lookups& index) {
  json members = json::array();
  for (const std::uint32_t& id : p.members) {
    members.push_back(json{{"id", id}, {"name", NameOf(file.actors, index.actors, id)}});
  }
  return json{{"id", p.id}, {"name", ToUtf8(p.name)}, {"shared_members", p.shared_members}, {"members", members}};
}

constexpr std::size_t kWidth = 100;

std::string Inline(const json& j) {
  if (!j.is_structured()) return j.dump();
  const bool object = j.is_object();
  std::string out = object ? "{" : "[";
  bool first = true;
  for (const auto& item : j.items()) {
    if (!first) out += ", ";
    first = false;
    if (object) out += json(item.key()).dump() + ": ";
    out += Inline(item.value());
  }
  return out + (object ? "}" : "]");
}

// `used` is how much of the line is already taken by indent and key.
void Write(const json& j, const std::size_t& indent, const std::size_t& used, std::string& out) {
  const std::string flat = Inline(j);
  if (!j.is_structured() || j.empty() || used + flat.size() <= kWidth) {
    out += flat;
    return;
  }
  const bool object = j.is_object();
  const std::string inner(indent + 2, ' ');
  out += object ? "{\n" : "[\n";
  bool first = true;
  for (const auto& item : j.items()) {
    if (!first) out += ",\n";
    first = false;
    out += inner;
    std::string key = object ? json(item.key()).dump() + ": " : "";
    out += key;
    Write(item.value(), indent + 2, inner.size() + key.size(), out);
  }
  // Appended piece by piece: no temporary string is built in front of a
  // literal, which g++ -O3 misreads as a possibly overlapping copy.
  out += '\n';
  out.append(indent, ' ');
  out += object ? '}' : ']';
}

}  // namespace

std::string Format(const nlohmann::ordered_json& document) {
  std::string out;
  Write(document, 0, 0, out);
  return out + "\n";
}

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

nlohmann::ordered_json Content(const tov::content& file) {
  json out;
  out["header"] = json{{"title", ToUtf8(file.title)},
                       {"author", ToUtf8(file.author)},
                       {"description", ToUtf8(file.description)},
                       {"date", json{{"year", file.date[0]}, {"month", file.date[1]}, {"day", file.date[2]}}}};
  out["races"] = json::array();
  for (const auto& r : file.races) out["races"].push_back(Race(r));
  out["careers"] = json::array();
  for (const auto& c : file.careers) out["careers"].push_back(Career(c));
  out["actors"] = json::array();
  const tov::lookups index(file);
  for (const auto& a : file.actors) out["actors"].push_back(Actor(a, file, index));
  out["parties"] = json::array();
  for (const auto& p : file.parties) out["parties"].push_back(Party(p, file, index));
  return out;
}

}  // namespace json_dump
