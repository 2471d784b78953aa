#include "tov_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "data_file/io_file.h"
#include "model/aspect.h"

namespace tov_write {

namespace {

// A pstr holding exactly these bytes, zero bytes included.
template <typename T>
pstr<T> Text(const std::string& bytes) {
  std::string form;
  for (std::size_t i = 0; i < sizeof(T); ++i) form += static_cast<char>((bytes.size() >> (8 * i)) & 0xFF);
  form += bytes;
  std::istringstream in(form);
  pstr<T> text;
  text.Read(in);
  return text;
}

// The data file object loads its file when it is made. Made in an empty
// directory it finds nothing, and starts with no records and no header.
std::unique_ptr<tov_file> EmptyFile(std::string& error) {
  char scratch[] = "/tmp/tov-XXXXXX";
  const int back = open(".", O_RDONLY | O_DIRECTORY);
  if (back < 0 || !mkdtemp(scratch) || chdir(scratch) != 0) {
    error = std::string("cannot prepare an empty data file: ") + std::strerror(errno);
    if (back >= 0) close(back);
    return nullptr;
  }
  auto file = std::make_unique<tov_file>("empty");
  const bool returned = fchdir(back) == 0;
  close(back);
  rmdir(scratch);
  if (!returned) {
    error = std::string("cannot return to the working directory: ") + std::strerror(errno);
    return nullptr;
  }
  return file;
}

void Fill(const tov::content& in, tov_file& out) {
  out.file_found = true;
  out.open_result = tov_file::kAccepted;
  out.title = Text<unsigned char>(in.title);
  out.author = Text<unsigned char>(in.author);
  out.description = Text<unsigned char>(in.description);
  for (const tov::race_record& r : in.races) {
    race& made = out.races.emplace_back();
    made.id = r.id;
    made.name = Text<unsigned char>(r.name);
    made.description = Text<unsigned short>(r.description);
    made.playable = r.playable;
    made.virtue = aspects::FindVirtue(r.virtue);
    made.vice = aspects::FindVice(r.vice);
    made.modifiers = r.modifiers;
  }
  for (const tov::career_record& c : in.careers) {
    career& made = out.careers.emplace_back();
    made.id = c.id;
    made.name = Text<unsigned char>(c.name);
    made.description = Text<unsigned short>(c.description);
    made.playable = c.playable;
    made.modifiers = c.modifiers;
  }
  for (const tov::actor_record& a : in.actors) {
    actor& made = out.actors.emplace_back();
    made.id = a.id;
    made.name = Text<unsigned char>(a.name);
    made.female = a.female;
    made.player_controlled = a.player_controlled;
    made.race_id = a.race_id;
    made.race = out.FindRace(a.race_id);
    made.career_id = a.career_id;
    made.career = out.FindCareer(a.career_id);
    made.virtue = aspects::FindVirtue(a.virtue);
    made.vice = aspects::FindVice(a.vice);
    stat_swag* primaries[tov::kPrimaryCount] = {&made.strength, &made.wisdom, &made.agility};
    for (int s = 0; s < tov::kStatCount; ++s) {
      stat_base* stat = made.Stat(s);
      stat->base = a.stats[s].base;
      stat->wound = a.stats[s].wound;
      stat->current = a.stats[s].current;
      if (s < tov::kPrimaryCount) primaries[s]->growth = a.stats[s].growth;
    }
    for (int e = 0; e < tov::kElementCount; ++e) made.elements[e].value = a.elements[e];
  }
  for (const tov::party_record& p : in.parties) {
    party& made = out.parties.emplace_back();
    made.id = p.id;
    made.name = Text<unsigned char>(p.name);
    made.shared_members = p.shared_members;
    for (const std::uint32_t& id : p.members) {
      made.member_ids.push_back(id);
      // Shared parties point at the file's actors, the others copy them.
      if (actor* member = out.FindActor(id)) made.AddMember(member);
    }
  }
}

}  // namespace

std::unique_ptr<tov_file> Records(const tov::content& file, std::string& error) {
  std::unique_ptr<tov_file> out = EmptyFile(error);
  if (out) Fill(file, *out);
  return out;
}

bool Write(const tov::content& file, const std::string& path, std::string& error) {
  const std::string extension = tov_file::kFileExtension;
  if (path.size() < extension.size() ||
      path.compare(path.size() - extension.size(), extension.size(), extension) != 0) {
    error = "the output must be a " + extension + " file";
    return false;
  }
  const std::size_t slash = path.rfind('/');
  const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const std::string directory = slash == std::string::npos ? "./" : path.substr(0, name_start);
  const std::string base = path.substr(name_start, path.size() - extension.size() - name_start);
  if (base.empty()) {
    error = "the output needs a name before " + extension;
    return false;
  }
  std::unique_ptr<tov_file> out = Records(file, error);
  if (!out) return false;
  out->directory = directory;
  out->file_name = base;
  if (!out->Write(true)) {
    error = out->write_error.empty() ? "the file could not be written" : out->write_error;
    return false;
  }
  return true;
}

}  // namespace tov_write
