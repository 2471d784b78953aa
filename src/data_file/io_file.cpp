#include "data_file/io_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <limits>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "console/console_util.h"
#include "model/binary_io.h"

const char tov_file::kMagicNumber[4] = {'i', 'T', 'O', 'V'};
const char tov_file::kFormatVersion[4] = {0x00, 0x00, 0x04, 0x00};
const char tov_file::kFileExtension[5] = ".tov";
const char tov_file::kTagRace[4] = {'R', 'A', 'C', 'E'};
const char tov_file::kTagParty[4] = {'P', 'A', 'R', 'T'};
const char tov_file::kTagItem[4] = {'I', 'T', 'E', 'M'};
const char tov_file::kTagCareer[4] = {'C', 'A', 'R', 'R'};
const char tov_file::kTagActor[4] = {'A', 'C', 'T', 'R'};

namespace {

// A position that names no record (the collection was empty).
constexpr std::uint32_t kNoRecord = std::numeric_limits<std::uint32_t>::max();

// The most records one section can count.
constexpr std::size_t kMaxRecords = std::numeric_limits<std::uint16_t>::max();

enum class section_kind { kRace, kCareer, kActor, kParty, kUnknown };

section_kind KindOfTag(const char (&tag)[4]) {
  if (std::memcmp(tag, tov_file::kTagRace, 4) == 0) return section_kind::kRace;
  if (std::memcmp(tag, tov_file::kTagCareer, 4) == 0) return section_kind::kCareer;
  if (std::memcmp(tag, tov_file::kTagActor, 4) == 0) return section_kind::kActor;
  if (std::memcmp(tag, tov_file::kTagParty, 4) == 0) return section_kind::kParty;
  return section_kind::kUnknown;
}

const char* ReadReport(section_kind kind) {
  switch (kind) {
    case section_kind::kRace:
      return "READ RACE DATA";
    case section_kind::kCareer:
      return "READ CAREER DATA";
    case section_kind::kActor:
      return "READ ACTOR DATA";
    default:
      return "READ PARTY DATA";
  }
}

// The record a lookup by identifier lands on, without scanning the whole
// collection for every reference: the last record carrying the identifier,
// else the first record, exactly as the linear scan chooses.
class id_index {
 public:
  bool stale = true;

  template <typename Collection, typename GetId>
  void Build(const Collection& records, GetId get_id) {
    last_.clear();
    last_.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) last_[get_id(records[i])] = static_cast<std::uint32_t>(i);
    size_ = records.size();
    stale = false;
  }

  std::uint32_t Find(const std::uint32_t& id) const {
    if (size_ == 0) return kNoRecord;
    const auto found = last_.find(id);
    return found == last_.end() ? 0 : found->second;
  }

 private:
  std::unordered_map<std::uint32_t, std::uint32_t> last_;
  std::size_t size_ = 0;
};

template <typename Record, typename GetId>
Record* LinearFind(std::deque<Record>& records, const std::uint32_t& id, GetId get_id) {
  if (records.empty()) return nullptr;
  std::size_t chosen = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (get_id(records[i]) == id) chosen = i;
  }
  return &records[chosen];
}

std::uint32_t RaceId(const race& r) { return r.ID(); }
std::uint32_t CareerId(const career& c) { return c.ID(); }
std::uint32_t ActorId(const actor& a) { return a.id; }

// Positions an actor's race and career were resolved to while reading.
struct origin_refs {
  std::uint32_t race = kNoRecord;
  std::uint32_t career = kNoRecord;
};

// What one resolved party slot was resolved to while reading.
struct member_ref {
  std::uint32_t actor = kNoRecord;
  std::uint32_t actor_id = 0;
  origin_refs copy;  // the private copy's own race and career
};

// Reads the sections of one file into its collections and resolves the
// references between records as they come.
//
// A repeated section may shrink a collection other records already point
// into. Every resolved reference is therefore also kept as a position, so
// that references to removed records can be looked up again at the end
// instead of left dangling.
class section_reader {
 public:
  explicit section_reader(tov_file& file) : file_(file) {}

  // False when the file ended before the section's last record.
  bool Read(const section_kind& kind, std::istream& in, const std::uint16_t& count) {
    bool whole = false;
    switch (kind) {
      case section_kind::kRace:
        whole = ReadRecords(in, file_.races, count, [](std::size_t) {});
        races_.stale = true;
        break;
      case section_kind::kCareer:
        whole = ReadRecords(in, file_.careers, count, [](std::size_t) {});
        careers_.stale = true;
        break;
      case section_kind::kActor:
        whole = ReadRecords(in, file_.actors, count, [this](std::size_t i) { ResolveActor(i); });
        actor_refs_.resize(file_.actors.size());
        actors_.stale = true;
        break;
      case section_kind::kParty:
        whole = ReadRecords(in, file_.parties, count, [this](std::size_t i) { ResolveParty(i); });
        party_refs_.resize(file_.parties.size());
        break;
      case section_kind::kUnknown:
        break;
    }
    return whole;
  }

  // Points references to records that a later section removed at what their
  // identifiers name now. Nothing else moves.
  void Finish() {
    if (!shrank_) return;
    for (std::size_t i = 0; i < file_.actors.size(); ++i) Repoint(file_.actors[i], actor_refs_[i]);
    for (std::size_t p = 0; p < file_.parties.size(); ++p) {
      party& group = file_.parties[p];
      const std::vector<member_ref>& refs = party_refs_[p];
      if (group.shared_members) {
        std::vector<actor*> members;
        for (const member_ref& ref : refs) {
          const std::uint32_t at = ref.actor < file_.actors.size() ? ref.actor : Actors().Find(ref.actor_id);
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
  // Reads up to count records in place, growing the collection only by the
  // records the file actually holds: a count that promises more than the
  // file contains invents no default records. True when every record was
  // there in full.
  template <typename Record, typename AfterRead>
  bool ReadRecords(std::istream& in, std::deque<Record>& records, const std::uint16_t& count,
                   AfterRead after_read) {
    shrank_ |= records.size() > count;
    while (records.size() > count) records.pop_back();
    for (std::size_t i = 0; i < count; ++i) {
      if (in.peek() == std::char_traits<char>::eof()) return false;
      if (i == records.size()) records.emplace_back();
      in >> records[i];
      after_read(i);
      if (!in) return false;
    }
    return true;
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
    const id_index& actors = Actors();
    file_.parties[i].ResolveMembers([&](std::uint32_t id) -> actor* {
      const std::uint32_t at = actors.Find(id);
      if (at == kNoRecord) return nullptr;
      refs.push_back({at, id, actor_refs_[at]});
      return &file_.actors[at];
    });
  }

  void Repoint(actor& a, const origin_refs& refs) {
    a.race = Pick(file_.races, Races(), refs.race, a.race_id);
    a.career = Pick(file_.careers, Careers(), refs.career, a.career_id);
  }

  template <typename Record>
  static const Record* Pick(const std::deque<Record>& records, const id_index& index, std::uint32_t at,
                            const std::uint32_t& id) {
    if (at == kNoRecord) return nullptr;
    if (at >= records.size()) at = index.Find(id);
    return at == kNoRecord ? nullptr : &records[at];
  }

  const id_index& Races() {
    if (races_.stale) races_.Build(file_.races, RaceId);
    return races_;
  }
  const id_index& Careers() {
    if (careers_.stale) careers_.Build(file_.careers, CareerId);
    return careers_;
  }
  const id_index& Actors() {
    if (actors_.stale) actors_.Build(file_.actors, ActorId);
    return actors_;
  }

  tov_file& file_;
  id_index races_;
  id_index careers_;
  id_index actors_;
  std::vector<origin_refs> actor_refs_;
  std::vector<std::vector<member_ref>> party_refs_;
  bool shrank_ = false;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The game writes its save as "save01" and continues from "Save01". Where the
// file system tells letter case apart, a name that matches no file exactly
// takes the data file whose name differs from it only in case (the first in
// name order if there are several).
std::string MatchBaseName(const std::string& directory, const std::string& base_name) {
  const std::string extension = tov_file::kFileExtension;
  struct stat info {};
  if (::stat((directory + base_name + extension).c_str(), &info) == 0) return base_name;
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return base_name;
  const std::string wanted = Lower(base_name + extension);
  std::string match;
  bool found = false;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (Lower(name) != wanted) continue;
    const std::string candidate = name.substr(0, name.size() - extension.size());
    if (!found || candidate < match) match = candidate;
    found = true;
  }
  ::closedir(listing);
  return found ? match : base_name;
}

std::string DescribeError(const int& error) {
  switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "the disk is full";
    case EFBIG:
      return "the file is larger than this system lets the game write";
    case EACCES:
    case EPERM:
    case EROFS:
      return "the data directory is not writable";
    case ENOENT:
    case ENOTDIR:
      return "the data directory does not exist";
    default:
      return std::strerror(error);
  }
}

bool WriteAllBytes(const int& fd, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) {
      errno = ENOSPC;
      return false;
    }
    written += static_cast<std::size_t>(count);
  }
  return true;
}

// Puts bytes at final_path so that the file there is, at every moment, either
// the old one untouched or the new one complete: the bytes go to the
// temporary file, reach the disk, and only then replace the old file.
bool ReplaceFile(const std::string& directory, const std::string& temporary_path, const std::string& final_path,
                 const std::string& bytes, std::string& error) {
  const int fd = ::open(temporary_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    error = DescribeError(errno);
    return false;
  }
  bool done = WriteAllBytes(fd, bytes) && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && errno != EINTR && done) {
    done = false;
    saved = errno;
  }
  if (done && ::rename(temporary_path.c_str(), final_path.c_str()) != 0) {
    done = false;
    saved = errno;
  }
  if (!done) {
    ::unlink(temporary_path.c_str());
    error = DescribeError(saved);
    return false;
  }
  // The rename itself must reach the disk too, or a power cut may bring the
  // old file back (or none at all).
  const int dir_fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) {
    error = "the save may not have reached the disk: " + DescribeError(errno);
    return false;
  }
  const bool synced = ::fsync(dir_fd) == 0 || errno == EINVAL;
  saved = errno;
  ::close(dir_fd);
  if (!synced) {
    error = "the save may not have reached the disk: " + DescribeError(saved);
    return false;
  }
  return true;
}

std::uint32_t ReadNumber(std::istream& in, const std::uint32_t& width) {
  binary_io::stream_source source(in);
  return binary_io::ReadNumber(source, width);
}

void WriteNumber(std::ostream& out, const std::uint32_t& value, const std::uint32_t& width) {
  binary_io::stream_sink sink(out);
  binary_io::WriteNumber(sink, value, width);
}

template <typename Record>
void WriteSection(std::ostream& out, const char (&tag)[4], const std::deque<Record>& records) {
  if (records.empty()) return;
  std::uint32_t length = 8;
  for (const Record& record : records) length += record.Size();
  out.write(tag, 4);
  WriteNumber(out, length, 4);
  WriteNumber(out, static_cast<std::uint16_t>(records.size()), 2);
  for (const Record& record : records) out << record;
}

}  // namespace

tov_file::tov_file(const std::string& base_name) : file_name(base_name) {
  DefineCurrentDirectory();
  Open(base_name, true);
  ReadAll(true);
}

std::string tov_file::Path() const { return directory + file_name + kFileExtension; }

void tov_file::DefineCurrentDirectory() {
  std::vector<char> buffer(256);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() >= (1u << 20)) {
      // No usable working directory (it was removed, say): a relative path
      // then fails cleanly instead of pointing at the root's "/data/".
      directory = "./data/";
      return;
    }
    buffer.resize(buffer.size() * 2);
  }
  directory = buffer.data();
  directory += "/data/";
}

int tov_file::Open(const std::string& base_name, const bool& quiet) {
  file_name = MatchBaseName(directory, base_name);
  in_stream.close();
  in_stream.clear();
  in_stream.open(directory + file_name + kFileExtension, std::ios::binary);
  file_found = in_stream.is_open();

  char magic[4] = {};
  in_stream.read(magic, 4);
  if (std::memcmp(magic, kMagicNumber, 4) != 0) return open_result = kWrongMagic;
  char version[3] = {};
  in_stream.read(version, 3);
  if (version[0] != kFormatVersion[0]) return open_result = kWrongVersion;

  in_stream.read(reinterpret_cast<char*>(date), 3);
  header_length = static_cast<unsigned short>(ReadNumber(in_stream, 2));
  in_stream >> title >> author >> description;

  if (!quiet) {
    std::cout << "\nReading file " << base_name << "...\n" << std::endl;
    std::cout << "\tDated:           " << static_cast<int>(date[1]) << "/" << static_cast<int>(date[2]) << "/"
              << static_cast<int>(date[0]);
    std::cout << "\n\tHeader length:   " << header_length;
    std::cout << "\n\tTitle:           " << title.str();
    std::cout << "\n\tAuthor:          " << author.str();
    std::cout << "\n\tDescription:     " << description.str();
    std::cout << "\n\n" << std::endl;
  }
  return open_result = kAccepted;
}

void tov_file::ReadAll(const bool& quiet) {
  // A file Open rejected is foreign or damaged from its first bytes, and its
  // header length was never read: nothing in it is taken.
  if (open_result != kAccepted) {
    Close();
    return;
  }
  in_stream.seekg(header_length, std::ios::beg);
  section_reader reader(*this);
  while (in_stream.peek() != std::char_traits<char>::eof()) {
    char tag[4] = {};
    in_stream.read(tag, 4);
    const section_kind kind = KindOfTag(tag);
    if (kind == section_kind::kUnknown) {
      stopped_early = true;
      if (!quiet) {
        std::cout << "\n\n\t\tERROR: UNKNOWN TAG.\n\n" << std::endl;
        console::Pause();
      }
      break;
    }
    ReadNumber(in_stream, 4);
    const std::uint16_t count = static_cast<std::uint16_t>(ReadNumber(in_stream, 2));
    // A section header the file cut short has no count to trust.
    if (!in_stream) break;
    if (!reader.Read(kind, in_stream, count)) stopped_early = true;
    if (!quiet) std::cout << ReadReport(kind) << std::endl;
  }
  // A header cut short leaves the stream failed before any section.
  if (in_stream.fail()) stopped_early = true;
  reader.Finish();
  Close();
}

race* tov_file::FindRace(const std::uint32_t& id) { return LinearFind(races, id, RaceId); }
career* tov_file::FindCareer(const std::uint32_t& id) { return LinearFind(careers, id, CareerId); }
actor* tov_file::FindActor(const std::uint32_t& id) { return LinearFind(actors, id, ActorId); }

void tov_file::Close() {
  in_stream.close();
  out_stream.close();
}

bool tov_file::Write(const bool& quiet) {
  write_error.clear();
  // The count field cannot hold more; writing only some would lose the rest.
  if (races.size() > kMaxRecords || careers.size() > kMaxRecords || actors.size() > kMaxRecords ||
      parties.size() > kMaxRecords) {
    write_error = "a collection holds more than 65535 records, more than the file can hold";
    return false;
  }

  std::ostringstream bytes(std::ios::binary);
  bytes.write(kMagicNumber, 4);
  bytes.write(kFormatVersion, 3);
  SetTime();
  bytes.write(reinterpret_cast<const char*>(date), 3);
  SetHeaderLength();
  WriteNumber(bytes, header_length, 2);
  bytes << title << author << description;
  if (!quiet) std::cout << title.str() << "\n" << author.str() << "\n" << description.str() << "\n\n\n";

  RestructureIDs();
  WriteSection(bytes, kTagRace, races);
  WriteSection(bytes, kTagCareer, careers);
  WriteSection(bytes, kTagActor, actors);
  WriteSection(bytes, kTagParty, parties);
  Close();

  if (!bytes) {
    write_error = "the save could not be put together in memory";
    return false;
  }
  const std::string temporary_path = directory + "~" + file_name + kFileExtension;
  const std::string final_path = directory + file_name + kFileExtension;
  return ReplaceFile(directory, temporary_path, final_path, bytes.str(), write_error);
}

void tov_file::SetTime() {
  const std::time_t now = clock != nullptr ? clock() : std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) local = std::tm{};
  date[0] = static_cast<signed char>((local.tm_year % 100 + 100) % 100);
  date[1] = static_cast<signed char>(local.tm_mon + 1);
  date[2] = static_cast<signed char>(local.tm_mday);
}

void tov_file::SetHeaderLength() {
  header_length = static_cast<unsigned short>(title.length + title.prefix_width + author.length +
                                              author.prefix_width + description.length +
                                              description.prefix_width + 12);
}

void tov_file::RestructureIDs() {
  for (std::size_t i = 0; i < races.size(); ++i) races[i].id = static_cast<std::uint32_t>(i);
  for (std::size_t i = 0; i < careers.size(); ++i) careers[i].id = static_cast<std::uint32_t>(i);
  for (std::size_t i = 0; i < actors.size(); ++i) actors[i].id = static_cast<std::uint32_t>(i);
  for (std::size_t i = 0; i < parties.size(); ++i) parties[i].id = static_cast<std::uint32_t>(i);
}

void tov_file::RenameFile(const std::string& new_name, const bool& move_file) {
  if (move_file) {
    const std::string from = directory + file_name + kFileExtension;
    const std::string to = directory + new_name + kFileExtension;
    std::ifstream test(from, std::ios::binary);
    const bool readable = test.is_open();
    test.close();
    struct stat source {};
    struct stat target {};
    // Never replace another data file; a name that differs only in letter
    // case on a file system that ignores case is the same file, and moves.
    const bool other_exists = ::stat(to.c_str(), &target) == 0 &&
                              (::stat(from.c_str(), &source) != 0 || source.st_dev != target.st_dev ||
                               source.st_ino != target.st_ino);
    if (readable && !other_exists) ::rename(from.c_str(), to.c_str());
  }
  file_name = new_name;
}
