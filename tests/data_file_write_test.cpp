// Writing data files to memory: the header, the sections in their fixed
// order, renumbering, and references that still designate their records
// after it.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

TEST(DataFileWrite, EmptyObjectWritesTheFifteenByteHeaderOnly) {
  tov_file file;
  EXPECT_EQ(Save(file), Bytes({'i', 'T', 'O', 'V', 0, 0, 4, 26, 12, 6, 0x0F, 0, 0, 0, 0}));
  EXPECT_EQ(file.header_length, 15);
  EXPECT_TRUE(file.write_error.empty());
}

TEST(DataFileWrite, TitleAbcGivesTheEighteenByteHeaderAndItsEcho) {
  tov_file file;
  file.clock = FixedClock;
  file.title = pstr<unsigned char>("abc");
  test_support::ConsoleCapture console;
  std::ostringstream out;
  ASSERT_TRUE(file.Write(out, false));
  EXPECT_EQ(console.Output(), "abc\n\n\n\n\n");
  EXPECT_EQ(out.str(),
            Bytes({'i', 'T', 'O', 'V', 0, 0, 4, 0x1A, 0x0C, 0x06, 0x12, 0, 3, 'a', 'b', 'c', 0, 0}));
}

TEST(DataFileWrite, HeaderLengthCountsEachStringWithItsPrefix) {
  tov_file file;
  file.title = pstr<unsigned char>(std::string(255, 't').c_str());
  file.SetHeaderLength();
  EXPECT_EQ(file.header_length, 270);
  file.author = pstr<unsigned char>("ab");
  file.description = pstr<unsigned char>("c");
  file.SetHeaderLength();
  EXPECT_EQ(file.header_length, 273);
}

TEST(DataFileWrite, DateIsYearInCenturyMonthAndDay) {
  tov_file file;
  file.clock = FixedClock;
  file.SetTime();
  EXPECT_EQ(file.date[0], 26);
  EXPECT_EQ(file.date[1], 12);
  EXPECT_EQ(file.date[2], 6);
  file.clock = [] { return LocalTime(2005, 1, 31); };
  file.SetTime();
  EXPECT_EQ(file.date[0], 5);
  EXPECT_EQ(file.date[1], 1);
  EXPECT_EQ(file.date[2], 31);
  file.clock = [] { return LocalTime(1999, 7, 1); };
  file.SetTime();
  EXPECT_EQ(file.date[0], 99);
}

TEST(DataFileWrite, SectionsComeInFixedOrderWithCountAndLength) {
  tov_file file;
  // Appended in another order than written; the empty career collection
  // makes no section at all.
  file.actors.push_back(Actor(0, "Al", 0, 0));
  file.races.push_back(Race(0, "Elf"));
  file.parties.emplace_back();
  const std::string written = Save(file);
  const std::string expected = Header() +
                               Section("RACE", 1, FileForm(file.races[0]), 8 + file.races[0].Size()) +
                               Section("ACTR", 1, FileForm(file.actors[0]), 8 + 84 + 2) +
                               Section("PART", 1, FileForm(file.parties[0]), 8 + 22);
  EXPECT_EQ(written, expected);
  // The count field of a one-record section.
  EXPECT_EQ(written.substr(15 + 8, 2), Bytes({1, 0}));
}

TEST(DataFileWrite, WriteRenumbersEveryRecordToItsPosition) {
  tov_file file;
  for (std::uint32_t id : {5u, 9u, 2u}) file.races.push_back(Race(id, "R"));
  for (std::uint32_t id : {7u, 7u}) file.careers.push_back(Career(id, "C"));
  for (std::uint32_t id : {40u, 30u, 20u, 10u}) file.actors.push_back(Actor(id, "A", 0, 0));
  file.parties.emplace_back();
  file.parties.emplace_back();
  file.parties[0].id = 8;
  file.parties[1].id = 8;
  // A shared party follows the renumbering of its members, and so does a
  // private copy, which designates the actor it was copied from.
  file.parties[0].shared_members = true;
  file.parties[0].AddMember(&file.actors[0]);
  file.parties[0].AddMember(&file.actors[3]);
  file.parties[1].AddMember(&file.actors[3]);
  const std::string bytes = Save(file);

  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(file.races[i].id, i);
  for (std::uint32_t i = 0; i < 2; ++i) EXPECT_EQ(file.careers[i].id, i);
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(file.actors[i].id, i);
  EXPECT_EQ(file.parties[1].id, 1u);

  std::string::size_type at = 15 + 10;  // first race record
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(bytes.substr(at + 2, 4), U32(i));
    at += 2 + file.races[i].Size();
  }
  const std::string party_section = bytes.substr(bytes.find("PART"));
  EXPECT_EQ(party_section.substr(10),
            PartyBytes(0, "Adventurers", true, {0, 3}) + PartyBytes(1, "Adventurers", false, {3}));
}

TEST(DataFileWrite, ContentFileRoundTripsAndWritingTwiceChangesOnlyTheDate) {
  const std::string content = CoreData();
  const auto file = Load(content);
  ASSERT_EQ(file->open_result, tov_file::kAccepted);
  std::string first = Save(*file);
  ASSERT_EQ(first.size(), content.size());
  EXPECT_EQ(first.substr(0, 7), content.substr(0, 7));
  EXPECT_EQ(first.substr(10), content.substr(10));

  file->clock = [] { return LocalTime(2031, 3, 4); };
  std::ostringstream out;
  ASSERT_TRUE(file->Write(out, true));
  const std::string second = out.str();
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(second.substr(7, 3), Bytes({31, 3, 4}));
  EXPECT_EQ(first.substr(0, 7), second.substr(0, 7));
  EXPECT_EQ(first.substr(10), second.substr(10));
}

TEST(DataFileWrite, TooManyRecordsFailsInsteadOfLosingSome) {
  tov_file file;
  file.careers.resize(65536);
  std::ostringstream refused;
  EXPECT_FALSE(file.Write(refused, true));
  EXPECT_FALSE(file.write_error.empty());
  EXPECT_TRUE(refused.str().empty());
  file.careers.pop_back();
  const std::string bytes = Save(file);
  EXPECT_TRUE(file.write_error.empty());
  EXPECT_EQ(Load(bytes)->careers.size(), 65535u);
}

// The content file with every identifier moved away from its position:
// races by 10, careers by 20, actors by 100, and every reference with them.
std::string ShiftedContent() {
  const auto file = Load(CoreData());
  std::vector<race> races(file->races.begin(), file->races.end());
  std::vector<career> careers(file->careers.begin(), file->careers.end());
  std::vector<actor> actors;
  for (race& r : races) r.id += 10;
  for (career& c : careers) c.id += 20;
  for (const actor& a : file->actors) {
    actor& moved = actors.emplace_back(a);
    moved.id += 100;
    moved.race_id += 10;
    moved.career_id += 20;
  }
  std::string parties;
  for (const party& group : file->parties) {
    std::vector<std::uint32_t> ids;
    for (const actor* member : group.members) ids.push_back(member->id + 100);
    parties += PartyBytes(group.id, group.name.str(), group.shared_members, ids);
  }
  return Header(file->title.str(), file->author.str(), file->description.str()) + RaceSection(races) +
         CareerSection(careers) + ActorSection(actors) +
         Section("PART", static_cast<std::uint16_t>(file->parties.size()), parties);
}

// Identifiers need not equal positions on reading; the first save must not
// make a reference designate another record than it did when loaded.
TEST(DataFileWrite, ReferencesDesignateTheSameRecordsAfterRenumbering) {
  const auto original = Load(CoreData());
  const auto shifted = Load(ShiftedContent());
  ASSERT_EQ(shifted->open_result, tov_file::kAccepted);
  // Loaded, the shifted file resolves to the same records as the original.
  ASSERT_EQ(shifted->parties[1].members[0]->name.str(), original->parties[1].members[0]->name.str());
  ASSERT_EQ(shifted->actors[5].race, &shifted->races[original->actors[5].race_id]);

  const std::string expected = Save(*original);
  EXPECT_EQ(Save(*shifted), expected);
  // The private copies now carry the renumbered identifiers, so a second
  // save designates the same actors again.
  EXPECT_EQ(Save(*shifted), expected);
  const auto reloaded = Load(expected);
  ASSERT_EQ(reloaded->parties.size(), original->parties.size());
  for (std::size_t p = 0; p < reloaded->parties.size(); ++p) {
    const party& group = reloaded->parties[p];
    ASSERT_EQ(group.member_count, original->parties[p].member_count);
    for (std::size_t j = 0; j < group.members.size(); ++j) {
      EXPECT_EQ(group.members[j]->name.str(), original->parties[p].members[j]->name.str());
      EXPECT_EQ(group.members[j]->race->name.str(), original->parties[p].members[j]->race->name.str());
    }
  }
}

}  // namespace
