#include "tov_scan.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "data_file/frame.h"
#include "data_file/sections.h"
#include "field_walk.h"
#include "model/binary_io.h"

namespace tov_scan {

namespace {

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

// Each byte as two hex digits, apart.
std::string Hex(const std::string& raw) {
  std::string shown;
  for (unsigned char c : raw) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", c);
    if (!shown.empty()) shown += ' ';
    shown += digits;
  }
  return shown;
}

// "member_count" for the count before the list "members".
std::string CountKey(const std::string& list_key) {
  return list_key.substr(0, list_key.size() - 1) + "_count";
}

// Walks one record's or frame's field list over the bytes, taking every
// length from the bytes themselves, and stops at the first field they
// cannot hold or the first mark that refuses the file. It notes where each
// top-level field is, and the aspect numbers as stored.
class field_scanner {
 public:
  field_scanner(binary_io::memory_source& in, const std::string& label, tov::record_notes& notes)
      : in_(in), label_(label), notes_(notes), start_(in.pos) {
    notes_.where.at[""] = Byte(start_) + ", " + label_;
  }

  bool ok() const { return missing_.empty(); }
  // The field, or the innermost group of fields, the bytes ended in.
  const std::string& missing() const { return missing_; }
  // The bytes the record's size counts, as the section's length adds them up.
  std::uint32_t size() const {
    const std::size_t bytes = in_.pos - start_;
    return static_cast<std::uint32_t>(size_.counts_itself ? bytes : bytes - size_.width);
  }
  // The size field as stored, where it is, and as the game's writer would
  // store it.
  std::uint32_t stored_size() const { return stored_size_; }
  std::size_t size_at() const { return size_at_; }
  std::uint32_t written_size() const { return size_.width == 2 ? size() & 0xFFFF : size(); }
  // The mark that refuses the file, and where it is; nullptr when none did.
  const mark* refused() const { return refused_ ? &refused_mark_ : nullptr; }
  std::size_t refused_at() const { return refused_at_; }
  // Where the number walked as `value` is.
  std::size_t OffsetOf(const void* value) const { return offsets_.at(value); }

  void Size(const char* key, const size_field& field) {
    size_ = field;
    size_at_ = in_.pos;
    stored_size_ = Read(key, field.width);
  }
  void Id(const char* key, const std::uint32_t&) { Read(key, 4); }
  template <typename T>
  void Text(const char* key, const pstr<T>&) {
    const std::uint32_t n = Read(key, sizeof(T));
    if (!Need(key, n)) return;
    in_.pos += n;
  }
  template <typename Value>
  void Flag(const char* key, const Value&, const presence&) {
    Read(key, 1);
  }
  void Aspect(const char* key, const aspect* const&, const aspect_kind&) {
    const std::uint32_t number = Read(key, 1);
    if (ok()) notes_.stored[key] = static_cast<int>(number);
  }
  void Reference(const char* key, const std::uint32_t&, const record_kind&) { Read(key, 4); }
  void References(const char* key, const std::vector<std::uint32_t>&, const record_kind&,
                  const std::size_t&) {
    const std::uint32_t count = Read(CountKey(key), 1);
    if (!ok()) return;
    // How many there are is the count's business.
    notes_.where.at[key] = notes_.where.at[CountKey(key)];
    for (std::uint32_t i = 0; i < count && ok(); ++i)
      Read(std::string(key) + "[" + std::to_string(i) + "]", 4);
  }
  void Points(const char* key, const unsigned short&, const presence&) { Read(key, 2); }
  void Affinity(const char* key, const unsigned char&) { Read(key, 1); }
  template <class Fields>
  void Group(const char* key, Fields&& fields) {
    if (groups_.empty()) Note(key);
    groups_.push_back(key);
    fields(*this);
    groups_.pop_back();
  }
  // Compares as the game does: the compared bytes the file has.
  void Mark(const char* key, const mark& m) {
    if (!ok()) return;
    const std::size_t width = static_cast<std::size_t>(m.width);
    const std::size_t had = std::min(in_.left(), width);
    unsigned char found[8] = {};
    binary_io::memory_source peek = in_;
    peek.Read(found, had);
    if ((m.whole && had < width) ||
        std::memcmp(found, m.bytes, std::min(had, static_cast<std::size_t>(m.compared))) != 0) {
      refused_ = true;
      refused_mark_ = m;
      refused_at_ = in_.pos;
      missing_ = key;
      return;
    }
    Skip(key, width);
  }
  void Date(const char* key, const signed char (&date)[3]) { Skip(key, sizeof date); }
  void Tag(const char* key, const char (&tag)[4]) { Skip(key, sizeof tag); }
  template <typename T>
  void Number(const char* key, const T& value) {
    offsets_[&value] = in_.pos;
    Read(key, sizeof(T));
  }

 private:
  std::uint32_t Read(const std::string& key, const std::size_t& width) {
    if (!Need(key, width)) return 0;
    if (groups_.empty()) Note(key);
    return binary_io::ReadNumber(in_, static_cast<std::uint32_t>(width));
  }

  void Skip(const std::string& key, const std::size_t& width) {
    if (!Need(key, width)) return;
    if (groups_.empty()) Note(key);
    in_.pos += width;
  }

  bool Need(const std::string& key, const std::size_t& n) {
    if (!ok()) return false;
    if (in_.left() >= n) return true;
    missing_ = groups_.empty() ? key : groups_.back();
    return false;
  }

  void Note(const std::string& key) { notes_.where.at[key] = Byte(in_.pos) + ", " + label_ + "." + key; }

  binary_io::memory_source& in_;
  std::string label_;
  tov::record_notes& notes_;
  std::size_t start_;
  size_field size_{0, true};
  std::uint32_t stored_size_ = 0;
  std::size_t size_at_ = 0;
  bool refused_ = false;
  mark refused_mark_{};
  std::size_t refused_at_ = 0;
  std::map<const void*, std::size_t> offsets_;
  std::vector<std::string> groups_;
  std::string missing_;
};

class scanner {
 public:
  explicit scanner(const std::string& bytes) : bytes_(bytes), in_(bytes.data(), bytes.size()) {}

  tov::loaded Run() {
    if (!ReadHeader()) return std::move(out_);
    out_.accepted = true;
    out_.where.at[""] = "whole file";
    out_.complete = ReadSections();
    CheckSectionOrder();
    LoadAsTheGameDoes();
    return std::move(out_);
  }

 private:
  void Report(const std::string& where, const std::string& what) { out_.problems.push_back({where, what}); }

  bool ReadHeader() {
    if (bytes_.empty()) {
      Report(Byte(0), "the file is empty; the game reads nothing from it");
      return false;
    }
    tov::record_notes notes;
    field_scanner scan(in_, "header", notes);
    std::as_const(*out_.file).HeaderFields(scan);
    if (scan.refused()) {
      Refused(*scan.refused(), scan.refused_at());
      return false;
    }
    if (!scan.ok()) {
      Report(Byte(in_.pos), "the header is cut short: the file ends in its " + scan.missing());
      return false;
    }
    CheckHeaderLength(scan.stored_size(), scan.size_at());
    in_.pos = scan.stored_size();
    return true;
  }

  void Refused(const mark& m, const std::size_t& at) {
    const std::string found = bytes_.substr(at, static_cast<std::size_t>(m.width));
    const std::string wanted(m.bytes, static_cast<std::size_t>(m.width));
    if (m.refusal == tov_file::kWrongMagic) {
      Report(Byte(at), "not a data file: it begins with \"" + Printable(found) + "\" instead of \"" +
                           Printable(wanted) + "\"; the game reads nothing from it");
    } else {
      Report(Byte(at), "format version bytes " + Hex(found) + " are not this game's (" + Hex(wanted) +
                           "); the game reads nothing from it");
    }
  }

  void CheckHeaderLength(const std::uint32_t& header_length, const std::size_t& field_at) {
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
    Report(Byte(field_at), what);
  }

  bool ReadSections() {
    while (in_.left() > 0) {
      const std::size_t at = in_.pos;
      if (in_.left() < sizeof section_frame::tag) {
        Report(Byte(at), std::to_string(in_.left()) +
                             " stray bytes at the end where a section tag should be; the game takes them "
                             "for an unknown tag");
        return false;
      }
      const std::string tag = bytes_.substr(at, sizeof section_frame::tag);
      bool whole = false;
      const bool known =
          sections::ForTag(tag.data(), [&](const auto& section) { whole = ReadSection(section, at); });
      if (!known) {
        Report(Byte(at), "unknown section tag \"" + Printable(tag) + "\"; the game stops reading here and " +
                             "ignores the last " + std::to_string(bytes_.size() - at) + " bytes of the file");
        return false;
      }
      if (!whole) return false;
    }
    return true;
  }

  static std::string Tag(const sections::info& about) {
    return std::string(about.tag, sizeof section_frame::tag);
  }

  template <class Record>
  bool ReadSection(const sections::section<Record>& section, const std::size_t& at) {
    const sections::info& about = section.about;
    const std::string label = Byte(at) + ", " + Tag(about) + " section";
    section_frame frame;
    tov::record_notes frame_notes;
    field_scanner walk(in_, label, frame_notes);
    std::as_const(frame).Fields(walk);
    if (!walk.ok()) {
      Report(label, "the section header is cut short: the file ends before its record count");
      return false;
    }
    binary_io::memory_source again(bytes_.data(), bytes_.size(), at);
    frame_io::Read(again, frame);
    const std::uint32_t count = frame.count;
    out_.where.at[about.collection] = label;
    if (first_.count(about.kind) != 0) {
      Report(label, "a second " + Tag(about) + " section: the game throws away the " + about.collection +
                        " read before and keeps these");
    } else {
      first_[about.kind] = at;
    }
    std::vector<tov::record_notes>& notes = out_.records[about.kind];
    notes.clear();
    // The shape of the records: every length comes from the bytes.
    static const Record kShape;
    std::uint32_t length = section_frame::kLengthBesideRecords;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::string record_label = std::string(about.collection) + "[" + std::to_string(i) + "]";
      const bool any_left = in_.left() > 0;
      tov::record_notes& record = notes.emplace_back();
      field_scanner scan(in_, record_label, record);
      kShape.Fields(scan);
      if (!scan.ok()) {
        Report(record.where[""], std::string("the ") + about.noun +
                                     " record is cut short: the file ends in its " + scan.missing() +
                                     " (the section promised " + std::to_string(count) + " records)");
        // The game keeps what it read of the record, but makes none of nothing.
        record.whole = false;
        if (!any_left) notes.pop_back();
        return false;
      }
      if (scan.stored_size() != scan.written_size()) {
        Report(record.where[""], "record size field says " + std::to_string(scan.stored_size()) +
                                     " but the record makes " + std::to_string(scan.written_size()));
      }
      length += scan.size();
    }
    if (length != frame.length) {
      Report(Byte(walk.OffsetOf(&frame.length)) + ", " + Tag(about) + " section",
             "section length field says " + std::to_string(frame.length) + " but its " +
                 std::to_string(count) + " records make " + std::to_string(length));
    }
    return true;
  }

  // The game resolves references while it reads, against what it has read
  // so far, so a section read before the one it refers to finds nothing.
  void CheckSectionOrder() {
    const auto before = [&](const sections::info& user, const sections::info& used) {
      const auto user_at = first_.find(user.kind);
      const auto used_at = first_.find(used.kind);
      if (user_at != first_.end() && used_at != first_.end() && used_at->second > user_at->second) {
        Report(Byte(user_at->second) + ", " + Tag(user) + " section",
               "comes before the " + Tag(used) + " section, so the game resolves its " + user.collection +
                   "' " + used.collection + " against none");
      }
    };
    sections::ForEach([&](const auto& user) {
      for (const record_kind& kind : tov::RefersTo(user)) {
        sections::ForEach([&](const auto& used) {
          if (used.about.kind == kind) before(user.about, used.about);
        });
      }
    });
  }

  // The records are the game's own reading of the bytes. Should the game
  // refuse or stop where the walk above found nothing wrong, that still
  // counts.
  void LoadAsTheGameDoes() {
    tov_file& file = *out_.file;
    std::istringstream in(bytes_);
    file.Read(in, true);
    file.file_found = true;
    if (!out_.problems.empty()) return;
    if (file.open_result != tov_file::kAccepted) {
      Report(out_.where[""], "the game refuses the file (result " + std::to_string(file.open_result) + ")");
    } else if (file.stopped_early) {
      Report(Byte(file.stopped_at), "the game stops reading the file here");
    }
  }

  const std::string& bytes_;
  binary_io::memory_source in_;
  tov::loaded out_;
  // Offset of each kind's first section.
  std::map<record_kind, std::size_t> first_;
};

}  // namespace

tov::loaded Scan(const std::string& bytes) { return scanner(bytes).Run(); }

}  // namespace tov_scan
