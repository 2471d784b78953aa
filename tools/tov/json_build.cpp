#include "json_build.h"

#include <cmath>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>

namespace json_build {

namespace {

using json = nlohmann::json;

std::string Key(const std::string& path, const std::string& key) { return path + "." + key; }
std::string Index(const std::string& path, const std::size_t& i) { return path + "[" + std::to_string(i) + "]"; }

// Parsed UTF-8 back to the game's bytes: only U+0000 to U+00FF have one.
bool ToBytes(const std::string& utf8, std::string& bytes, std::uint32_t& bad) {
  bytes.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t code = c;
    int extra = 0;
    if (c >= 0xF0) {
      code = c & 0x07;
      extra = 3;
    } else if (c >= 0xE0) {
      code = c & 0x0F;
      extra = 2;
    } else if (c >= 0xC0) {
      code = c & 0x1F;
      extra = 1;
    }
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    i += 1 + extra;
    if (code > 0xFF) {
      bad = code;
      return false;
    }
    bytes += static_cast<char>(code);
  }
  return true;
}

class reader {
 public:
  explicit reader(result& out) : out_(out) {}

  void Problem(const std::string& where, const std::string& what) { out_.problems.push_back({where, what}); }
  void Note(const std::string& where, const std::string& what) { out_.notes.push_back({where, what}); }

  // An object with the given fields, every other key being a mistake.
  class fields {
   public:
    fields(reader& r, const json& j, const std::string& path, std::initializer_list<const char*> allowed)
        : r_(r), j_(j), path_(path) {
      if (!j.is_object()) {
        r.Problem(path, "must be an object");
        ok_ = false;
        return;
      }
      const std::set<std::string> known(allowed.begin(), allowed.end());
      for (const auto& item : j.items()) {
        if (!known.count(item.key())) r.Problem(Key(path, item.key()), "unknown field");
      }
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }
    std::string At(const char* key) const { return Key(path_, key); }
    const json* Get(const char* key) const {
      if (!ok_) return nullptr;
      const auto found = j_.find(key);
      return found == j_.end() ? nullptr : &*found;
    }
    const json* Need(const char* key) const {
      const json* value = Get(key);
      if (!value && ok_) r_.Problem(At(key), "required field is missing");
      return value;
    }

   private:
    reader& r_;
    const json& j_;
    std::string path_;
    bool ok_ = true;
  };

  // True when the value is a text the game can hold, even if too long for it.
  bool Text(const json* j, const std::string& path, const std::size_t& longest, std::string& out) {
    if (!j) return false;
    if (!j->is_string()) {
      Problem(path, "must be a string");
      return false;
    }
    std::uint32_t bad = 0;
    if (!ToBytes(j->get<std::string>(), out, bad)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", bad);
      Problem(path, std::string("character ") + code +
                        " cannot be stored: the game's texts hold only U+0000 to U+00FF");
      return false;
    }
    if (out.size() > longest) {
      Problem(path, "is " + std::to_string(out.size()) + " characters long; at most " + std::to_string(longest) +
                        " fit");
    }
    return true;
  }

  template <typename Number>
  bool Whole(const json* j, const std::string& path, Number& out) {
    if (!j) return false;
    const auto largest = std::numeric_limits<Number>::max();
    if (j->is_number_unsigned() && j->get<std::uint64_t>() <= largest) {
      out = static_cast<Number>(j->get<std::uint64_t>());
      return true;
    }
    if (j->is_number_integer() || j->is_number_unsigned()) {
      Problem(path, "must be between 0 and " + std::to_string(largest));
    } else {
      Problem(path, "must be a whole number");
    }
    return false;
  }

  void Bool(const json* j, const std::string& path, bool& out) {
    if (!j) return;
    if (j->is_boolean()) {
      out = j->get<bool>();
    } else {
      Problem(path, "must be true or false");
    }
  }

  // The playable flag counts any non-zero byte as set.
  void Flag(const json* j, const std::string& path, std::uint8_t& out) {
    if (!j) return;
    if (j->is_boolean()) {
      out = j->get<bool>() ? 1 : 0;
    } else if (j->is_number()) {
      Whole(j, path, out);
    } else {
      Problem(path, "must be true, false or a number from 0 to 255");
    }
  }

  // Points (1.5), or {"raw": 384}, or both of them agreeing.
  void StatValue(const json* j, const std::string& path, std::uint16_t& out) {
    if (!j) return;
    if (j->is_number()) {
      Points(*j, path, out);
      return;
    }
    fields f(*this, *j, path, {"raw", "points"});
    if (!f.ok()) return;
    const json* raw = f.Get("raw");
    const json* points = f.Get("points");
    if (!raw && !points) return Problem(path, "needs \"raw\" or \"points\"");
    std::uint16_t from_raw = 0;
    std::uint16_t from_points = 0;
    const bool raw_ok = raw && Whole(raw, f.At("raw"), from_raw);
    const bool points_ok = points && Points(*points, f.At("points"), from_points);
    if (raw_ok && points_ok && from_raw != from_points) {
      Problem(path, "raw " + std::to_string(from_raw) + " and points " + points->dump() +
                        " disagree; give only the one you mean");
    }
    out = raw_ok ? from_raw : from_points;
  }

  bool Points(const json& j, const std::string& path, std::uint16_t& out) {
    if (!j.is_number()) {
      Problem(path, "must be a number of points");
      return false;
    }
    const double scaled = j.get<double>() * 256.0;
    if (scaled < 0 || scaled > 65535) {
      Problem(path, "must be between 0 and 255.99609375 points");
      return false;
    }
    if (scaled != std::floor(scaled)) {
      const double below = std::floor(scaled) / 256.0;
      Problem(path, j.dump() + " points is not a whole number of 1/256 steps; the nearest are " +
                        json(below).dump() + " and " + json(below + 1 / 256.0).dump());
      return false;
    }
    out = static_cast<std::uint16_t>(scaled);
    return true;
  }

  void Aspect(const json* j, const std::string& path, const bool& virtue, std::uint8_t& out) {
    if (!j) return;
    if (j->is_number()) {
      Whole(j, path, out);
      return;
    }
    const int number = j->is_string()
                           ? (virtue ? tov::VirtueNumber(j->get<std::string>()) : tov::ViceNumber(j->get<std::string>()))
                           : -1;
    if (number >= 0) {
      out = static_cast<std::uint8_t>(number);
      return;
    }
    std::string names;
    for (std::uint8_t n = 0; n < tov::kAspectCount; ++n) {
      names += std::string(n ? ", " : "") + (virtue ? tov::VirtueName(n) : tov::ViceName(n));
    }
    Problem(path, std::string("is not a ") + (virtue ? "virtue" : "vice") + "; the " +
                      (virtue ? "virtues" : "vices") + " are " + names);
  }

  void Modifiers(const json* j, const std::string& path, std::array<std::uint16_t, tov::kStatCount>& out) {
    if (!j) return;
    fields f(*this, *j, path, {tov::kStatKeys[0], tov::kStatKeys[1], tov::kStatKeys[2], tov::kStatKeys[3],
                               tov::kStatKeys[4], tov::kStatKeys[5], tov::kStatKeys[6], tov::kStatKeys[7],
                               tov::kStatKeys[8]});
    for (int s = 0; s < tov::kStatCount; ++s) StatValue(f.Need(tov::kStatKeys[s]), f.At(tov::kStatKeys[s]), out[s]);
  }

  // The identifier a record carries: its position unless it says otherwise.
  template <typename Record>
  void Identity(const fields& f, const std::size_t& position, Record& record) {
    record.where.at[""] = f.path();
    record.where.at["id"] = f.Get("id") ? f.At("id") : f.path();
    record.id = static_cast<std::uint32_t>(position);
    Whole(f.Get("id"), f.At("id"), record.id);
  }

  template <typename Record, typename ReadOne>
  void Collection(const fields& top, const char* key, std::vector<Record>& records, ReadOne read_one) {
    out_.file.where.at[key] = top.At(key);
    const json* list = top.Need(key);
    if (!list) return;
    if (!list->is_array()) return Problem(top.At(key), "must be an array");
    if (list->size() > 65535) {
      Problem(top.At(key), "holds " + std::to_string(list->size()) + " records; a file holds at most 65535");
    }
    // References into the records are kept until every record is read.
    records.reserve(list->size());
    for (std::size_t i = 0; i < list->size(); ++i) {
      records.emplace_back();
      (this->*read_one)((*list)[i], Index(top.At(key), i), i, records.back());
    }
  }

  void Race(const json& j, const std::string& path, std::size_t i, tov::race_record& r) {
    fields f(*this, j, path, {"id", "name", "description", "playable", "virtue", "vice", "modifiers"});
    if (!f.ok()) return;
    Identity(f, i, r);
    Text(f.Need("name"), f.At("name"), 255, r.name);
    Text(f.Need("description"), f.At("description"), 65535, r.description);
    Flag(f.Get("playable"), f.At("playable"), r.playable);
    r.where.at["virtue"] = f.At("virtue");
    r.where.at["vice"] = f.At("vice");
    Aspect(f.Need("virtue"), f.At("virtue"), true, r.virtue);
    Aspect(f.Need("vice"), f.At("vice"), false, r.vice);
    Modifiers(f.Need("modifiers"), f.At("modifiers"), r.modifiers);
  }

  void Career(const json& j, const std::string& path, std::size_t i, tov::career_record& c) {
    fields f(*this, j, path, {"id", "name", "description", "playable", "modifiers"});
    if (!f.ok()) return;
    Identity(f, i, c);
    Text(f.Need("name"), f.At("name"), 255, c.name);
    Text(f.Need("description"), f.At("description"), 65535, c.description);
    Flag(f.Get("playable"), f.At("playable"), c.playable);
    Modifiers(f.Need("modifiers"), f.At("modifiers"), c.modifiers);
  }

  void Stats(const json* j, const std::string& path, tov::actor_record& a) {
    if (!j) return;
    fields f(*this, *j, path, {tov::kStatKeys[0], tov::kStatKeys[1], tov::kStatKeys[2], tov::kStatKeys[3],
                               tov::kStatKeys[4], tov::kStatKeys[5], tov::kStatKeys[6], tov::kStatKeys[7],
                               tov::kStatKeys[8]});
    for (int s = 0; s < tov::kStatCount; ++s) {
      const json* stat = f.Need(tov::kStatKeys[s]);
      if (!stat) continue;
      const std::string at = f.At(tov::kStatKeys[s]);
      const bool primary = s < tov::kPrimaryCount;
      fields v(*this, *stat, at,
               primary ? std::initializer_list<const char*>{"base", "wound", "current", "growth"}
                       : std::initializer_list<const char*>{"base", "wound", "current"});
      StatValue(v.Need("base"), v.At("base"), a.stats[s].base);
      StatValue(v.Get("wound"), v.At("wound"), a.stats[s].wound);
      StatValue(v.Need("current"), v.At("current"), a.stats[s].current);
      if (primary) StatValue(v.Get("growth"), v.At("growth"), a.stats[s].growth);
    }
  }

  void Elements(const json* j, const std::string& path, tov::actor_record& a) {
    if (!j) return;
    fields f(*this, *j, path, {tov::kElementKeys[0], tov::kElementKeys[1], tov::kElementKeys[2],
                               tov::kElementKeys[3], tov::kElementKeys[4], tov::kElementKeys[5],
                               tov::kElementKeys[6]});
    for (int e = 0; e < tov::kElementCount; ++e) {
      Whole(f.Need(tov::kElementKeys[e]), f.At(tov::kElementKeys[e]), a.elements[e]);
    }
  }

  void Actor(const json& j, const std::string& path, std::size_t i, tov::actor_record& a) {
    fields f(*this, j, path, {"id", "name", "female", "player_controlled", "race_id", "race", "career_id",
                              "career", "virtue", "vice", "stats", "elements"});
    if (!f.ok()) return;
    Identity(f, i, a);
    Text(f.Need("name"), f.At("name"), 255, a.name);
    Bool(f.Get("female"), f.At("female"), a.female);
    Bool(f.Get("player_controlled"), f.At("player_controlled"), a.player_controlled);
    pending_.push_back({&a.race_id, f, "race_id", "race", &a.where, 0});
    pending_.push_back({&a.career_id, f, "career_id", "career", &a.where, 1});
    a.where.at["virtue"] = f.At("virtue");
    a.where.at["vice"] = f.At("vice");
    Aspect(f.Need("virtue"), f.At("virtue"), true, a.virtue);
    Aspect(f.Need("vice"), f.At("vice"), false, a.vice);
    Stats(f.Need("stats"), f.At("stats"), a);
    Elements(f.Need("elements"), f.At("elements"), a);
  }

  void Party(const json& j, const std::string& path, std::size_t i, tov::party_record& p) {
    fields f(*this, j, path, {"id", "name", "shared_members", "members"});
    if (!f.ok()) return;
    Identity(f, i, p);
    Text(f.Need("name"), f.At("name"), 255, p.name);
    Bool(f.Get("shared_members"), f.At("shared_members"), p.shared_members);
    p.where.at["members"] = f.At("members");
    const json* members = f.Need("members");
    if (!members) return;
    if (!members->is_array()) return Problem(f.At("members"), "must be an array");
    p.members.resize(members->size());
    for (std::size_t m = 0; m < members->size(); ++m) {
      const std::string at = Index(f.At("members"), m);
      p.where.at["members[" + std::to_string(m) + "]"] = at;
      const json& member = (*members)[m];
      if (member.is_number()) {
        Whole(&member, at, p.members[m]);
      } else {
        fields mf(*this, member, at, {"id", "name"});
        if (mf.ok()) pending_.push_back({&p.members[m], mf, "id", "name", nullptr, 2});
      }
    }
  }

  // References given by identifier, by name or both; resolved once every
  // record has been read, since names need the records they name.
  struct reference {
    std::uint32_t* id;
    fields where;
    const char* id_key;
    const char* name_key;
    tov::places* places;
    int kind;  // 0 race, 1 career, 2 actor
  };

  template <typename Record>
  void ResolveOne(const reference& ref, const std::vector<Record>& records, const tov::lookup& index,
                  const char* noun) {
    const json* id = ref.where.Get(ref.id_key);
    const json* name = ref.where.Get(ref.name_key);
    std::string wanted;
    const bool named = name && !name->is_null();
    // A name that is no usable text is reported there and matched with nothing.
    const bool usable = named && Text(name, ref.where.At(ref.name_key), 255, wanted);
    if (id) {
      if (ref.places) ref.places->at[ref.id_key] = ref.where.At(ref.id_key);
      if (!Whole(id, ref.where.At(ref.id_key), *ref.id) || !usable) return;
      const int found = index.Resolve(*ref.id);
      if (found >= 0 && index.Carries(*ref.id) && records[found].name != wanted) {
        Note(ref.where.At(ref.name_key), std::string("says \"") + name->get<std::string>() + "\" but " + noun +
                                             " " + std::to_string(*ref.id) + " is \"" + records[found].name +
                                             "\"; the identifier decides");
      }
      return;
    }
    if (ref.places) ref.places->at[ref.id_key] = ref.where.At(ref.name_key);
    if (!named) return Problem(ref.where.At(ref.id_key), std::string("required field is missing (or give \"") +
                                                             ref.name_key + "\" by name)");
    if (!usable) return;
    int matches = 0;
    for (const Record& r : records) {
      if (r.name == wanted) {
        *ref.id = r.id;
        ++matches;
      }
    }
    if (matches != 1) {
      Problem(ref.where.At(ref.name_key), std::string(matches ? "more than one " : "no ") + noun + " is named \"" +
                                              name->get<std::string>() + "\"; give \"" + ref.id_key + "\"");
    }
  }

  void ResolvePending() {
    const tov::lookups index(out_.file);
    for (const reference& ref : pending_) {
      if (ref.kind == 0) ResolveOne(ref, out_.file.races, index.races, "race");
      if (ref.kind == 1) ResolveOne(ref, out_.file.careers, index.careers, "career");
      if (ref.kind == 2) ResolveOne(ref, out_.file.actors, index.actors, "actor");
    }
  }

  void Document(const json& j) {
    fields top(*this, j, "$", {"header", "races", "careers", "actors", "parties"});
    if (!top.ok()) return;
    if (const json* header = top.Need("header")) {
      fields h(*this, *header, top.At("header"), {"title", "author", "description", "date"});
      Text(h.Need("title"), h.At("title"), 255, out_.file.title);
      Text(h.Need("author"), h.At("author"), 255, out_.file.author);
      Text(h.Need("description"), h.At("description"), 255, out_.file.description);
      // The date is the writer's: building stamps today's.
      if (const json* date = h.Get("date")) static_cast<void>(fields(*this, *date, h.At("date"), {"year", "month", "day"}));
    }
    Collection(top, "races", out_.file.races, &reader::Race);
    Collection(top, "careers", out_.file.careers, &reader::Career);
    Collection(top, "actors", out_.file.actors, &reader::Actor);
    Collection(top, "parties", out_.file.parties, &reader::Party);
    ResolvePending();
  }

 private:
  result& out_;
  std::vector<reference> pending_;
};

}  // namespace

result Read(const std::string& text) {
  result out;
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
  reader(out).Document(document);
  return out;
}

}  // namespace json_build
