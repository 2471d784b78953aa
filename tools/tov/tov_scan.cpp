#include "tov_scan.h"

#include <cstdio>
#include <cstring>

#include "data_file/io_file.h"

namespace tov_scan {

namespace {

// Reads little-endian fields, refusing to read past the end.
class cursor {
 public:
  explicit cursor(const std::string& bytes) : bytes_(bytes) {}

  std::size_t pos = 0;

  std::size_t left() const { return pos < bytes_.size() ? bytes_.size() - pos : 0; }
  bool Has(const std::size_t& n) const { return left() >= n; }

  std::uint32_t Number(const int& width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos + i])) << (8 * i);
    }
    pos += width;
    return value;
  }
  std::string Text(const std::size_t& n) {
    std::string text = bytes_.substr(pos, n);
    pos += n;
    return text;
  }

 private:
  const std::string& bytes_;
};

std::string Byte(const std::size_t& offset) { return "byte " + std::to_string(offset); }

std::string Printable(const std::string& raw) {
  std::string shown;
  for (unsigned char c : raw) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    }
  }
  return shown;
}

// One record being read: the field reads stop at the first one the file
// cannot hold, naming that field.
class record_reader {
 public:
  record_reader(cursor& in, const std::string& label, tov::places& where)
      : in_(in), label_(label), where_(where), start_(in.pos) {
    where_.at[""] = Byte(start_) + ", " + label_;
  }

  bool ok() const { return missing_.empty(); }
  const std::string& missing() const { return missing_; }
  std::size_t start() const { return start_; }

  std::uint32_t Number(const std::string& field, const int& width) {
    if (!Need(field, width)) return 0;
    Mark(field);
    return in_.Number(width);
  }
  std::string Text(const char* field, const int& prefix_width) {
    if (!Need(field, prefix_width)) return {};
    Mark(field);
    const std::uint32_t n = in_.Number(prefix_width);
    if (!Need(field, n)) return {};
    return in_.Text(n);
  }
  void Mark(const std::string& field) { where_.at[field] = Byte(in_.pos) + ", " + label_ + "." + field; }

 private:
  bool Need(const std::string& field, const std::size_t& n) {
    if (!ok()) return false;
    if (in_.Has(n)) return true;
    missing_ = field;
    return false;
  }

  cursor& in_;
  std::string label_;
  tov::places& where_;
  std::size_t start_;
  std::string missing_;
};

template <typename Modifiers>
void ReadModifiers(record_reader& r, Modifiers& modifiers) {
  r.Mark("modifiers");
  for (auto& m : modifiers) m = static_cast<std::uint16_t>(r.Number("modifiers", 2));
}

// Each reader returns the record's Size() as the game's writer computes
// it, and reports the stored size field through `size_field`.
std::uint32_t ReadRace(record_reader& r, tov::race_record& race, std::uint32_t& size_field) {
  size_field = r.Number("size", 2);
  race.id = r.Number("id", 4);
  race.name = r.Text("name", 1);
  race.description = r.Text("description", 2);
  race.playable = static_cast<std::uint8_t>(r.Number("playable", 1));
  race.virtue = static_cast<std::uint8_t>(r.Number("virtue", 1));
  race.vice = static_cast<std::uint8_t>(r.Number("vice", 1));
  ReadModifiers(r, race.modifiers);
  return static_cast<std::uint32_t>(28 + race.name.size() + race.description.size());
}

std::uint32_t ReadCareer(record_reader& r, tov::career_record& career, std::uint32_t& size_field) {
  size_field = r.Number("size", 2);
  career.id = r.Number("id", 4);
  career.name = r.Text("name", 1);
  career.description = r.Text("description", 2);
  career.playable = static_cast<std::uint8_t>(r.Number("playable", 1));
  ReadModifiers(r, career.modifiers);
  return static_cast<std::uint32_t>(26 + career.name.size() + career.description.size());
}

std::uint32_t ReadActor(record_reader& r, tov::actor_record& actor, std::uint32_t& size_field) {
  size_field = r.Number("size", 2);
  actor.id = r.Number("id", 4);
  actor.name = r.Text("name", 1);
  actor.female = r.Number("female", 1) != 0;
  actor.player_controlled = r.Number("player_controlled", 1) != 0;
  actor.race_id = r.Number("race_id", 4);
  actor.career_id = r.Number("career_id", 4);
  actor.virtue = static_cast<std::uint8_t>(r.Number("virtue", 1));
  actor.vice = static_cast<std::uint8_t>(r.Number("vice", 1));
  for (int s = 0; s < tov::kStatCount; ++s) {
    tov::stat_values& stat = actor.stats[s];
    const char* key = tov::kStatKeys[s];
    stat.base = static_cast<std::uint16_t>(r.Number(key, 2));
    stat.wound = static_cast<std::uint16_t>(r.Number(key, 2));
    stat.current = static_cast<std::uint16_t>(r.Number(key, 2));
    if (s < tov::kPrimaryCount) stat.growth = static_cast<std::uint16_t>(r.Number(key, 2));
  }
  r.Mark("elements");
  for (auto& e : actor.elements) e = static_cast<std::uint8_t>(r.Number("elements", 1));
  return static_cast<std::uint32_t>(84 + actor.name.size());
}

std::uint32_t ReadParty(record_reader& r, tov::party_record& party, std::uint32_t& size_field) {
  size_field = r.Number("size", 4);
  party.id = r.Number("id", 4);
  party.name = r.Text("name", 1);
  party.shared_members = r.Number("shared_members", 1) != 0;
  const std::uint32_t count = r.Number("member_count", 1);
  for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
    party.members.push_back(r.Number("members[" + std::to_string(i) + "]", 4));
  }
  // How many members there are is the count's business.
  party.where.at["members"] = party.where.at["member_count"];
  return static_cast<std::uint32_t>(11 + party.name.size() + 4 * party.members.size());
}

struct section_kind {
  const char* tag;    // the file's bytes, not zero-terminated
  const char* label;  // the same, for messages
  const char* collection;
  const char* noun;  // what the records are, for messages
  int size_width;
};

const section_kind kKinds[] = {
    {tov_file::kTagRace, "RACE", "races", "race", 2},
    {tov_file::kTagCareer, "CARR", "careers", "career", 2},
    {tov_file::kTagActor, "ACTR", "actors", "actor", 2},
    {tov_file::kTagParty, "PART", "parties", "party", 4},
};

class scanner {
 public:
  explicit scanner(const std::string& bytes) : bytes_(bytes), in_(bytes) {}

  result Run() {
    if (!ReadHeader()) return std::move(out_);
    out_.accepted = true;
    out_.file.where.at[""] = "whole file";
    out_.complete = ReadSections();
    CheckSectionOrder();
    return std::move(out_);
  }

 private:
  void Report(const std::string& where, const std::string& what) { out_.problems.push_back({where, what}); }

  bool ReadHeader() {
    if (bytes_.empty()) {
      Report(Byte(0), "the file is empty; the game reads nothing from it");
      return false;
    }
    if (!in_.Has(4) || std::memcmp(bytes_.data(), tov_file::kMagicNumber, 4) != 0) {
      Report(Byte(0), "not a data file: it begins with \"" + Printable(bytes_.substr(0, 4)) +
                          "\" instead of \"iTOV\"; the game reads nothing from it");
      return false;
    }
    in_.pos = 4;
    if (!in_.Has(3)) return HeaderCutShort("format version");
    const std::string version = in_.Text(3);
    if (version[0] != tov_file::kFormatVersion[0]) {
      char shown[32];
      std::snprintf(shown, sizeof shown, "%02X %02X %02X", static_cast<unsigned char>(version[0]),
                    static_cast<unsigned char>(version[1]), static_cast<unsigned char>(version[2]));
      Report(Byte(4), std::string("format version bytes ") + shown +
                          " are not this game's (00 00 04); the game reads nothing from it");
      return false;
    }
    if (!in_.Has(5)) return HeaderCutShort("date and header length");
    for (auto& d : out_.file.date) d = static_cast<std::uint8_t>(in_.Number(1));
    const std::uint32_t header_length = in_.Number(2);
    for (auto [text, name] : {std::pair{&out_.file.title, "title"}, std::pair{&out_.file.author, "author"},
                              std::pair{&out_.file.description, "description"}}) {
      if (!in_.Has(1)) return HeaderCutShort(name);
      const std::size_t n = in_.Number(1);
      if (!in_.Has(n)) return HeaderCutShort(name);
      *text = in_.Text(n);
    }
    CheckHeaderLength(header_length);
    in_.pos = header_length;
    return true;
  }

  bool HeaderCutShort(const char* field) {
    Report(Byte(in_.pos), std::string("the header is cut short: the file ends in its ") + field);
    return false;
  }

  void CheckHeaderLength(const std::uint32_t& header_length) {
    const std::size_t end = in_.pos;
    if (header_length == end) return;
    std::string what = "header length field says " + std::to_string(header_length) + " but the header is " +
                       std::to_string(end) + " bytes long; ";
    if (header_length > bytes_.size()) {
      what += "it points past the end of the file, so the game reads no section";
    } else if (header_length < end) {
      what += "the game looks for the first section inside the header";
    } else {
      what += "the game skips the " + std::to_string(header_length - end) + " bytes in between";
    }
    Report(Byte(10), what);
  }

  bool ReadSections() {
    while (in_.left() > 0) {
      const std::size_t at = in_.pos;
      if (!in_.Has(4)) {
        Report(Byte(at), std::to_string(in_.left()) +
                             " stray bytes at the end where a section tag should be; the game takes them "
                             "for an unknown tag");
        return false;
      }
      const std::string tag = in_.Text(4);
      int kind = -1;
      for (int k = 0; k < 4; ++k) {
        if (std::memcmp(tag.data(), kKinds[k].tag, 4) == 0) kind = k;
      }
      if (kind < 0) {
        Report(Byte(at), "unknown section tag \"" + Printable(tag) + "\"; the game stops reading here and "
                             "ignores the last " + std::to_string(bytes_.size() - at) + " bytes of the file");
        return false;
      }
      if (!ReadSection(kind, at)) return false;
    }
    return true;
  }

  bool ReadSection(const int& kind, const std::size_t& at) {
    const section_kind& k = kKinds[kind];
    const std::string label = Byte(at) + ", " + k.label + " section";
    if (!in_.Has(6)) {
      Report(label, "the section header is cut short: the file ends before its record count");
      return false;
    }
    const std::uint32_t length_field = in_.Number(4);
    const std::uint32_t count = in_.Number(2);
    out_.file.where.at[k.collection] = label;
    if (first_[kind] != 0) {
      Report(label, std::string("a second ") + k.label + " section: the game throws away the " + k.collection +
                        " read before and keeps these");
    } else {
      first_[kind] = at;
    }
    std::uint32_t length = 8;
    bool whole = true;
    switch (kind) {
      case 0: whole = ReadRecords(k, count, out_.file.races, ReadRace, length); break;
      case 1: whole = ReadRecords(k, count, out_.file.careers, ReadCareer, length); break;
      case 2: whole = ReadRecords(k, count, out_.file.actors, ReadActor, length); break;
      default: whole = ReadRecords(k, count, out_.file.parties, ReadParty, length); break;
    }
    if (whole && length != length_field) {
      Report(Byte(at + 4) + ", " + k.label + " section",
             "section length field says " + std::to_string(length_field) + " but its " + std::to_string(count) +
                 " records make " + std::to_string(length));
    }
    return whole;
  }

  template <typename Record, typename Reader>
  bool ReadRecords(const section_kind& k, const std::uint32_t& count, std::vector<Record>& records,
                   Reader read, std::uint32_t& length) {
    records.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::string label = std::string(k.collection) + "[" + std::to_string(i) + "]";
      Record record;
      record_reader r(in_, label, record.where);
      std::uint32_t size_field = 0;
      const std::uint32_t size = read(r, record, size_field);
      if (!r.ok()) {
        Report(record.where[""], std::string("the ") + k.noun + " record is cut short: the file ends in its " +
                                     r.missing() + " (the section promised " + std::to_string(count) +
                                     " records)");
        return false;
      }
      const std::uint32_t expected = k.size_width == 2 ? (size & 0xFFFF) : size;
      if (size_field != expected) {
        Report(Byte(r.start()) + ", " + label, "record size field says " + std::to_string(size_field) +
                                                   " but the record makes " + std::to_string(expected));
      }
      length += size;
      records.push_back(std::move(record));
    }
    return true;
  }

  // The game resolves references while it reads, against what it has read
  // so far, so a section read before the one it refers to finds nothing.
  void CheckSectionOrder() {
    const auto before = [&](int user, int used) {
      if (first_[user] != 0 && first_[used] > first_[user]) {
        Report(Byte(first_[user]) + ", " + kKinds[user].label + " section",
               std::string("comes before the ") + kKinds[used].label + " section, so the game resolves its " +
                   kKinds[user].collection + "' " + kKinds[used].collection + " against none");
      }
    };
    before(2, 0);
    before(2, 1);
    before(3, 2);
  }

  const std::string& bytes_;
  cursor in_;
  result out_;
  std::size_t first_[4] = {0, 0, 0, 0};  // offset of each kind's first section; 0 when none
};

}  // namespace

result Scan(const std::string& bytes) { return scanner(bytes).Run(); }

}  // namespace tov_scan
