#include "support/example_world.h"

#include "data_file/io_file.h"
#include "game/examples.h"

namespace test_support {

namespace {

bool PlayableRace(const race& r) { return r.id <= 6; }
bool PlayableCareer(const career& c) { return c.id >= 1 && c.id <= 12; }

}  // namespace

void FillWithExampleWorld(tov_file& file) {
  file.file_found = true;
  file.open_result = tov_file::kAccepted;
  file.title = pstr<unsigned char>("Core Data");
  file.author = pstr<unsigned char>("OSSIVAR");
  file.description =
      pstr<unsigned char>("The world of OSSIVAR: seven peoples, twelve careers, a party of four and the goblins.");
  for (const race* r : examples::Races()) {
    file.races.push_back(*r);
    file.races.back().playable = PlayableRace(*r) ? 1 : 0;
  }
  for (const career* c : examples::Careers()) {
    file.careers.push_back(*c);
    file.careers.back().playable = PlayableCareer(*c) ? 1 : 0;
  }
  for (const actor* a : examples::Actors()) {
    actor& copy = file.actors.emplace_back(*a);
    copy.race = &file.races.at(copy.race_id);
    copy.career = &file.careers.at(copy.career_id);
  }
  // A continued game saves the whole player's party's progress only when
  // the party holds the file's own actors.
  bool first = true;
  for (const party* source : examples::Parties()) {
    party& group = file.parties.emplace_back();
    group.name = source->name;
    group.shared_members = first;
    for (actor* member : source->members) group.AddMember(&file.actors.at(member->id));
    first = false;
  }
}

}  // namespace test_support
