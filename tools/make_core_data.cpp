// Writes data/Core Data.tov, the content file every new game starts from,
// from the built-in example world.
//
//   make_core_data [directory]
//
// The file goes to <directory>/data/ (default: the working directory); the
// data directory must exist.

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "data_file/io_file.h"
#include "game/examples.h"

namespace {

constexpr char kBaseName[] = "Core Data";
constexpr char kTitle[] = "Core Data";
constexpr char kAuthor[] = "OSSIVAR";
constexpr char kDescription[] = "The world of OSSIVAR: seven peoples, twelve careers, a party of four and the goblins.";

// Character creation offers every race but the goblins, and every career
// but the janitor and the two goblin careers.
bool PlayableRace(const race& r) { return r.id <= 6; }
bool PlayableCareer(const career& c) { return c.id >= 1 && c.id <= 12; }

void Fill(tov_file& file) {
  // Parties point at actors: empty them first.
  file.parties.clear();
  file.actors.clear();
  file.careers.clear();
  file.races.clear();

  file.title = pstr<unsigned char>(kTitle);
  file.author = pstr<unsigned char>(kAuthor);
  file.description = pstr<unsigned char>(kDescription);

  for (const race* r : examples::Races()) {
    file.races.push_back(*r);
    file.races.back().playable = PlayableRace(*r) ? 1 : 0;
  }
  for (const career* c : examples::Careers()) {
    file.careers.push_back(*c);
    file.careers.back().playable = PlayableCareer(*c) ? 1 : 0;
  }
  for (const actor* a : examples::Actors()) {
    file.actors.emplace_back(*a);
    actor& copy = file.actors.back();
    copy.race = &file.races.at(copy.race_id);
    copy.career = &file.careers.at(copy.career_id);
  }
  // The player's party shares the file's own actors, so a continued game
  // saves the whole party's progress; the goblin parties are fought as
  // copies and keep the flag clear.
  bool first = true;
  for (const party* source : examples::Parties()) {
    file.parties.emplace_back();
    party& group = file.parties.back();
    group.name = source->name;
    group.shared_members = first;
    for (actor* member : source->members) group.AddMember(&file.actors.at(member->id));
    first = false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: make_core_data [directory]\n";
    return 2;
  }
  if (argc == 2 && ::chdir(argv[1]) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  tov_file file(kBaseName);
  Fill(file);
  if (!file.Write(true)) {
    std::cerr << "make_core_data: " << file.directory << kBaseName << tov_file::kFileExtension
              << " not written: " << file.write_error << "\n";
    return 1;
  }
  std::cout << file.directory << kBaseName << tov_file::kFileExtension << "\n";
  return 0;
}
