#include "data_file/io_file.h"

#include <cstring>
#include <ctime>
#include <iostream>
#include <iterator>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data_file/file_reader.h"
#include "data_file/id_lookup.h"
#include "data_file/sections.h"
#include "model/binary_io.h"
#include "model/record_io.h"
#include "platform/file_store.h"
#include "platform/wall_clock.h"

const char tov_file::kMagicNumber[4] = {'i', 'T', 'O', 'V'};
const char tov_file::kFormatVersion[4] = {0x00, 0x00, 0x04, 0x00};
const char tov_file::kFileExtension[5] = ".tov";
const char tov_file::kTagRace[4] = {'R', 'A', 'C', 'E'};
const char tov_file::kTagParty[4] = {'P', 'A', 'R', 'T'};
const char tov_file::kTagItem[4] = {'I', 'T', 'E', 'M'};
const char tov_file::kTagCareer[4] = {'C', 'A', 'R', 'R'};
const char tov_file::kTagActor[4] = {'A', 'C', 'T', 'R'};

namespace {

std::string Slurp(std::istream& in) {
  std::string bytes;
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void ReportHeader(const tov_file& file, const std::string& shown_name) {
  std::cout << "\nReading file " << shown_name << "...\n" << std::endl;
  std::cout << "\tDated:           " << static_cast<int>(file.date[1]) << "/"
            << static_cast<int>(file.date[2]) << "/" << static_cast<int>(file.date[0]);
  std::cout << "\n\tHeader length:   " << file.header_length;
  std::cout << "\n\tTitle:           " << file.title.str();
  std::cout << "\n\tAuthor:          " << file.author.str();
  std::cout << "\n\tDescription:     " << file.description.str();
  std::cout << "\n\n" << std::endl;
}

template <class Record>
void Clear(std::deque<Record>& records) {
  std::deque<Record>().swap(records);
}

}  // namespace

tov_file::tov_file(const std::string& base_name) : file_name(base_name) {
  DefineCurrentDirectory();
  Open(base_name, true);
  ReadAll(true);
}

std::string tov_file::Path() const { return directory + file_name + kFileExtension; }

void tov_file::DefineCurrentDirectory() {
  const std::string working = file_store::WorkingDirectory();
  // Without a working directory (it was removed, say) a relative path fails
  // cleanly instead of pointing at the root's "/data/".
  directory = working.empty() ? "./data/" : working + "/data/";
}

int tov_file::Read(std::istream& in, const bool& quiet) {
  std::string bytes;
  try {
    bytes = Slurp(in);
  } catch (const std::bad_alloc&) {
    return open_result = kTooLarge;
  }
  return ReadBytes(bytes, file_name, quiet);
}

int tov_file::ReadBytes(std::string& bytes, const std::string& shown_name, const bool& quiet) {
  if (ReadHeader(bytes, shown_name, quiet) == kAccepted) ReadSections(bytes, quiet);
  return open_result;
}

int tov_file::ReadHeader(const std::string& bytes, const std::string& shown_name, const bool& quiet) {
  stopped_early = false;
  stopped_at = 0;
  binary_io::memory_source in(bytes.data(), bytes.size());
  frame_io::reader read(in);
  HeaderFields(read);
  if (read.refusal != 0) return open_result = read.refusal;
  header_length = static_cast<unsigned short>(read.size);
  if (in.cut_short) {
    stopped_early = true;
    return open_result = kCutShort;
  }
  if (!quiet) ReportHeader(*this, shown_name);
  return open_result = kAccepted;
}

void tov_file::ReadSections(std::string& bytes, const bool& quiet) {
  try {
    // Moved before any text points into them: a short string's characters
    // move with it.
    kept_.push_back(std::move(bytes));
    const file_reader::result read = file_reader::ReadSections(*this, kept_.back(), header_length, quiet);
    stopped_early = read.stopped_early;
    stopped_at = read.stopped_at;
    if (!read.too_large) return;
  } catch (const std::bad_alloc&) {
  }
  // Nothing of a file too large to load is kept, so nothing half-loaded is
  // played or saved over the file.
  Clear(races);
  Clear(careers);
  Clear(actors);
  Clear(parties);
  Clear(kept_);
  open_result = kTooLarge;
}

int tov_file::Open(const std::string& base_name, const bool& quiet) {
  const std::string found = file_store::FindName(directory, base_name + kFileExtension);
  file_name = found.empty() ? base_name : found.substr(0, found.size() - std::strlen(kFileExtension));
  const file_store::outcome read = file_store::ReadWhole(Path(), held_);
  file_found = read.kind != file_store::problem::kCannotOpen;
  if (read.kind == file_store::problem::kNoMemory) return open_result = kTooLarge;
  return ReadHeader(held_, base_name, quiet);
}

void tov_file::ReadAll(const bool& quiet) {
  // A file Open rejected is foreign or damaged from its first bytes, and its
  // header length was never read: nothing in it is taken.
  if (open_result == kAccepted) ReadSections(held_, quiet);
  Close();
}

race* tov_file::FindRace(const std::uint32_t& id) { return FindById(races, id); }
career* tov_file::FindCareer(const std::uint32_t& id) { return FindById(careers, id); }
actor* tov_file::FindActor(const std::uint32_t& id) { return FindById(actors, id); }

void tov_file::Close() { std::string().swap(held_); }

bool tov_file::Serialize(std::string& bytes, const bool& quiet) {
  // The count field cannot hold more; writing only some would lose the rest.
  bool too_many = false;
  sections::ForEach([&](const auto& section) {
    too_many = too_many || (this->*section.records).size() > section_frame::kMostRecords;
  });
  if (too_many) {
    write_error = "a collection holds more than " + std::to_string(section_frame::kMostRecords) +
                  " records, more than the file can hold";
    return false;
  }
  try {
    SerializeRecords(bytes, quiet);
  } catch (const std::bad_alloc&) {
    write_error = file_store::Describe(file_store::problem::kNoMemory, "");
    return false;
  }
  return true;
}

void tov_file::SerializeRecords(std::string& bytes, const bool& quiet) {
  binary_io::string_sink out(bytes);
  if (!keep_date) SetTime();
  SetHeaderLength();
  frame_io::writer<binary_io::string_sink> header(out, header_length);
  HeaderFields(header);
  if (!quiet) std::cout << title.str() << "\n" << author.str() << "\n" << description.str() << "\n\n\n";

  RestructureIDs();
  sections::ForEach([&](const auto& section) {
    const auto& records = this->*section.records;
    if (records.empty()) return;
    std::vector<std::uint32_t> sizes;
    sizes.reserve(records.size());
    section_frame frame;
    std::memcpy(frame.tag, section.about.tag, sizeof frame.tag);
    frame.length = section_frame::kLengthBesideRecords;
    for (const auto& record : records) frame.length += sizes.emplace_back(record_io::Size(record));
    frame.count = static_cast<std::uint16_t>(records.size());
    frame_io::Write(out, frame);
    for (std::size_t i = 0; i < records.size(); ++i) record_io::WriteTo(out, records[i], sizes[i]);
  });
}

bool tov_file::Write(std::ostream& out, const bool& quiet) {
  write_error.clear();
  std::string bytes;
  if (!Serialize(bytes, quiet)) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) write_error = "the bytes could not be written";
  return static_cast<bool>(out);
}

bool tov_file::Write(const bool& quiet) {
  const std::string previous_error = write_error;
  write_error.clear();
  write_error_repeated = false;
  if (file_name.empty()) {
    write_error = "the data file has no name to be saved under";
    return false;
  }
  std::string bytes;
  if (!Serialize(bytes, quiet)) return false;
  const std::string final_path = directory + file_name + kFileExtension;
  const file_store::outcome done =
      file_store::Replace(final_path, directory + "~" + file_name + kFileExtension, bytes);
  write_error = done.words;
  // Something in the way stays there until the player removes it; saying so
  // before every battle would only nag.
  write_error_repeated = done.kind == file_store::problem::kInTheWay && write_error == previous_error;
  return done.ok();
}

void tov_file::SetTime() {
  const std::time_t now = clock != nullptr ? clock() : wall_clock::Now();
  std::tm local{};
  if (const std::tm* converted = std::localtime(&now)) local = *converted;
  SetDate(local);
}

void tov_file::SetDate(const std::tm& when) {
  date[0] = static_cast<signed char>((when.tm_year % 100 + 100) % 100);
  date[1] = static_cast<signed char>(when.tm_mon + 1);
  date[2] = static_cast<signed char>(when.tm_mday);
}

void tov_file::SetHeaderLength() {
  frame_io::counter count;
  HeaderFields(count);
  header_length = static_cast<unsigned short>(count.bytes);
}

namespace {

// After renumbering, an actor's race and career identifiers are those of
// the records it points at.
void FollowOrigin(actor& a) {
  if (a.race) a.race_id = a.race->ID();
  if (a.career) a.career_id = a.career->ID();
}

template <class Record>
void Renumber(std::deque<Record>& records) {
  for (std::size_t i = 0; i < records.size(); ++i) records[i].id = static_cast<std::uint32_t>(i);
}

}  // namespace

void tov_file::RestructureIDs() {
  // A private member copy lives outside the actors and carries the
  // identifier of the actor it was copied from; find that actor by the same
  // rule reading did before the identifiers change under it.
  const id_lookup before(actors);
  std::vector<std::vector<std::size_t>> sources(parties.size());
  for (std::size_t p = 0; p < parties.size(); ++p) {
    if (parties[p].shared_members) continue;
    for (const actor* member : parties[p].members) sources[p].push_back(member ? before.Find(member->id) : 0);
  }
  Renumber(races);
  Renumber(careers);
  Renumber(actors);
  Renumber(parties);
  for (actor& a : actors) FollowOrigin(a);
  for (std::size_t p = 0; p < parties.size(); ++p) {
    party& group = parties[p];
    for (std::size_t j = 0; j < group.members.size(); ++j) {
      actor* member = group.members[j];
      if (!member || group.shared_members) continue;
      if (sources[p][j] != id_lookup::kNone) member->id = static_cast<std::uint32_t>(sources[p][j]);
      FollowOrigin(*member);
    }
    group.member_ids = group.MemberIds();
  }
}

void tov_file::RenameFile(const std::string& new_name, const bool& move_file) {
  if (move_file) {
    const std::string from = directory + file_name + kFileExtension;
    const std::string to = directory + new_name + kFileExtension;
    // Never replace another data file; a name that differs only in letter
    // case on a file system that ignores case is the same file, and moves.
    const bool other_exists = file_store::Exists(to) && !file_store::SameFile(from, to);
    if (file_store::Exists(from) && !other_exists) file_store::Rename(from, to);
  }
  file_name = new_name;
}
