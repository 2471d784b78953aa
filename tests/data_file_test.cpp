#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "data_file_test_util.h"
#include "support/test_support.h"

namespace {

using data_file_test::Bytes;
using data_file_test::DataDirTest;
using data_file_test::FixedClock;
using data_file_test::Form;
using data_file_test::Header;
using data_file_test::PartyBytes;
using data_file_test::Section;
using data_file_test::U16;
using data_file_test::U32;

race Race(std::uint32_t id, const char* name) {
  return race(id, name, "Plain.", &aspects::kindness, &aspects::greed, {256, 0, 0, 0, 0, 0, 0, 0, 0});
}

career Career(std::uint32_t id, const char* name) { return career(id, name, "Work.", {0, 256, 0, 0, 0, 0, 0, 0, 0}); }

actor Actor(std::uint32_t id, const char* name, std::uint32_t race_id, std::uint32_t career_id) {
  actor a;
  a.id = id;
  a.name = pstr<unsigned char>(name);
  a.race_id = race_id;
  a.career_id = career_id;
  a.virtue = &aspects::patience;
  a.vice = &aspects::envy;
  return a;
}

std::string RaceSection(const std::vector<race>& races) {
  std::string body;
  for (const race& r : races) body += Form(r);
  return Section("RACE", static_cast<std::uint16_t>(races.size()), body);
}

std::string CareerSection(const std::vector<career>& careers) {
  std::string body;
  for (const career& c : careers) body += Form(c);
  return Section("CARR", static_cast<std::uint16_t>(careers.size()), body);
}

std::string ActorSection(const std::vector<actor>& actors) {
  std::string body;
  for (const actor& a : actors) body += Form(a);
  return Section("ACTR", static_cast<std::uint16_t>(actors.size()), body);
}

// --- Writing ---------------------------------------------------------------

TEST_F(DataDirTest, EmptyObjectWritesTheFifteenByteHeaderOnly) {
  tov_file file("save01");
  file.clock = FixedClock;
  ASSERT_TRUE(file.Write(true)) << file.write_error;
  EXPECT_EQ(Read("save01"), Bytes({'i', 'T', 'O', 'V', 0, 0, 4, 26, 12, 6, 0x0F, 0, 0, 0, 0}));
  EXPECT_EQ(file.header_length, 15);
  EXPECT_TRUE(file.write_error.empty());
}

TEST_F(DataDirTest, TitleAbcGivesTheEighteenByteHeaderAndItsEcho) {
  tov_file file("save01");
  file.clock = FixedClock;
  file.title = pstr<unsigned char>("abc");
  test_support::ConsoleCapture console;
  ASSERT_TRUE(file.Write(false));
  EXPECT_EQ(console.Output(), "abc\n\n\n\n\n");
  EXPECT_EQ(Read("save01"),
            Bytes({'i', 'T', 'O', 'V', 0, 0, 4, 0x1A, 0x0C, 0x06, 0x12, 0, 3, 'a', 'b', 'c', 0, 0}));
}

TEST(DataFileHeaderTest, HeaderLengthCountsEachStringWithItsPrefix) {
  test_support::TempDir dir;  // nothing is read from it
  tov_file file(dir.path() + "/none");
  file.title = pstr<unsigned char>(std::string(255, 't').c_str());
  file.SetHeaderLength();
  EXPECT_EQ(file.header_length, 270);
  file.author = pstr<unsigned char>("ab");
  file.description = pstr<unsigned char>("c");
  file.SetHeaderLength();
  EXPECT_EQ(file.header_length, 273);
}

TEST(DataFileHeaderTest, DateIsYearInCenturyMonthAndDay) {
  test_support::TempDir dir;
  tov_file file(dir.path() + "/none");
  file.clock = FixedClock;
  file.SetTime();
  EXPECT_EQ(file.date[0], 26);
  EXPECT_EQ(file.date[1], 12);
  EXPECT_EQ(file.date[2], 6);
  file.clock = [] { return data_file_test::LocalTime(2005, 1, 31); };
  file.SetTime();
  EXPECT_EQ(file.date[0], 5);
  EXPECT_EQ(file.date[1], 1);
  EXPECT_EQ(file.date[2], 31);
  file.clock = [] { return data_file_test::LocalTime(1999, 7, 1); };
  file.SetTime();
  EXPECT_EQ(file.date[0], 99);
}

TEST_F(DataDirTest, SectionsComeInFixedOrderWithCountAndLength) {
  tov_file file("save01");
  file.clock = FixedClock;
  // Appended in another order than written; the empty career collection
  // makes no section at all.
  file.actors.push_back(Actor(0, "Al", 0, 0));
  file.races.push_back(Race(0, "Elf"));
  file.parties.emplace_back();
  ASSERT_TRUE(file.Write(true));

  const std::string expected = Header() + Section("RACE", 1, Form(file.races[0]), 8 + file.races[0].Size()) +
                               Section("ACTR", 1, Form(file.actors[0]), 8 + 84 + 2) +
                               Section("PART", 1, Form(file.parties[0]), 8 + 22);
  std::string written = Read("save01");
  ASSERT_EQ(written.size(), expected.size());
  written.replace(7, 3, expected.substr(7, 3));
  EXPECT_EQ(written, expected);
  // The count field of a one-record section.
  EXPECT_EQ(written.substr(15 + 8, 2), Bytes({1, 0}));
}

TEST_F(DataDirTest, WriteRenumbersEveryRecordToItsPosition) {
  tov_file file("save01");
  for (std::uint32_t id : {5u, 9u, 2u}) file.races.push_back(Race(id, "R"));
  for (std::uint32_t id : {7u, 7u}) file.careers.push_back(Career(id, "C"));
  for (std::uint32_t id : {40u, 30u, 20u, 10u}) file.actors.push_back(Actor(id, "A", 0, 0));
  file.parties.emplace_back();
  file.parties.emplace_back();
  file.parties[0].id = 8;
  file.parties[1].id = 8;
  // A shared party follows the renumbering of its members; a private copy
  // keeps the identifier of the actor it was copied from.
  file.parties[0].shared_members = true;
  file.parties[0].AddMember(&file.actors[0]);
  file.parties[0].AddMember(&file.actors[3]);
  file.parties[1].AddMember(&file.actors[3]);
  ASSERT_TRUE(file.Write(true));

  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(file.races[i].id, i);
  for (std::uint32_t i = 0; i < 2; ++i) EXPECT_EQ(file.careers[i].id, i);
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(file.actors[i].id, i);
  EXPECT_EQ(file.parties[1].id, 1u);

  const std::string bytes = Read("save01");
  std::string::size_type at = 15 + 10;  // first race record
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(bytes.substr(at + 2, 4), U32(i));
    at += 2 + file.races[i].Size();
  }
  const std::string party_section = bytes.substr(bytes.find("PART"));
  EXPECT_EQ(party_section.substr(10), PartyBytes(0, "Adventurers", true, {0, 3}) +
                                          PartyBytes(1, "Adventurers", false, {10}));
}

TEST_F(DataDirTest, WritingTwiceChangesOnlyTheDate) {
  ASSERT_TRUE(dir_.CopyCoreData());
  tov_file file("Core Data");
  file.RenameFile("save01", false);
  file.clock = FixedClock;
  ASSERT_TRUE(file.Write(true));
  const std::string first = Read("save01");
  file.clock = [] { return data_file_test::LocalTime(2031, 3, 4); };
  ASSERT_TRUE(file.Write(true));
  const std::string second = Read("save01");
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(second.substr(7, 3), Bytes({31, 3, 4}));
  EXPECT_EQ(first.substr(0, 7), second.substr(0, 7));
  EXPECT_EQ(first.substr(10), second.substr(10));
}

TEST_F(DataDirTest, RenameWithoutMovingLeavesTheContentFileAlone) {
  ASSERT_TRUE(dir_.CopyCoreData());
  const std::string content = Read("Core Data");
  tov_file file("Core Data");
  file.RenameFile("save01", false);
  EXPECT_EQ(file.file_name, "save01");
  ASSERT_TRUE(file.Write(true));
  EXPECT_EQ(Read("Core Data"), content);
  EXPECT_EQ(Read("save01").size(), content.size());
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"Core Data.tov", "save01.tov"}));
}

TEST_F(DataDirTest, RenameWithMoveUsesTheDataDirectoryAndReplacesNothing) {
  Put("old", Header("x"));
  tov_file file("old");
  file.RenameFile("new", true);
  EXPECT_EQ(file.file_name, "new");
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"new.tov"}));
  EXPECT_EQ(Read("new"), Header("x"));

  // Another data file under the new name is never overwritten by a move.
  Put("other", Header("y"));
  file.RenameFile("other", true);
  EXPECT_EQ(file.file_name, "other");
  EXPECT_EQ(Read("new"), Header("x"));
  EXPECT_EQ(Read("other"), Header("y"));

  // Nothing to move: only the name changes.
  tov_file missing("missing");
  missing.RenameFile("ghost", true);
  EXPECT_EQ(missing.file_name, "ghost");
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"new.tov", "other.tov"}));
}

TEST_F(DataDirTest, TooManyRecordsFailsInsteadOfLosingSome) {
  Put("save01", Header("old"));
  tov_file file("save01");
  file.careers.resize(65536);
  EXPECT_FALSE(file.Write(true));
  EXPECT_FALSE(file.write_error.empty());
  EXPECT_EQ(Read("save01"), Header("old"));
  file.careers.pop_back();
  EXPECT_TRUE(file.Write(true)) << file.write_error;
  tov_file again("save01");
  EXPECT_EQ(again.careers.size(), 65535u);
}

// --- Opening ---------------------------------------------------------------

TEST_F(DataDirTest, MissingFileGivesEmptyCollectionsAndNoOutput) {
  test_support::ConsoleCapture console;
  tov_file file("nothing here");
  EXPECT_FALSE(file.file_found);
  EXPECT_EQ(file.open_result, tov_file::kWrongMagic);
  EXPECT_TRUE(file.races.empty() && file.careers.empty() && file.actors.empty() && file.parties.empty());
  EXPECT_EQ(file.title.length, 0);
  EXPECT_EQ(file.FindRace(0), nullptr);
  EXPECT_EQ(file.FindCareer(0), nullptr);
  EXPECT_EQ(file.FindActor(0), nullptr);
  EXPECT_EQ(console.Output(), "");
}

TEST_F(DataDirTest, DirectoryIsTheWorkingDirectoryAndData) {
  tov_file file("x");
  EXPECT_EQ(file.directory, std::filesystem::current_path().string() + "/data/");
  file.DefineCurrentDirectory();
  EXPECT_EQ(file.directory, std::filesystem::current_path().string() + "/data/");
}

TEST_F(DataDirTest, AcceptanceLooksAtMagicAndFirstVersionByteOnly) {
  const std::string races = RaceSection({Race(0, "Elf")});
  Put("bad magic", "iTOW" + Header().substr(4) + races);
  Put("bad version", Header("", "", "", {1, 0, 4}) + races);
  Put("odd version", Header("", "", "", {0, 7, 9}) + races);
  Put("short", "iTO");

  test_support::ConsoleCapture console;
  tov_file bad_magic("bad magic");
  EXPECT_TRUE(bad_magic.file_found);
  EXPECT_EQ(bad_magic.open_result, tov_file::kWrongMagic);
  EXPECT_TRUE(bad_magic.races.empty());
  EXPECT_EQ(bad_magic.Open("bad magic", false), tov_file::kWrongMagic);

  tov_file bad_version("bad version");
  EXPECT_EQ(bad_version.open_result, tov_file::kWrongVersion);
  EXPECT_TRUE(bad_version.races.empty());
  EXPECT_EQ(bad_version.Open("bad version", false), tov_file::kWrongVersion);
  bad_version.ReadAll(false);
  EXPECT_TRUE(bad_version.races.empty());

  tov_file odd_version("odd version");
  EXPECT_EQ(odd_version.open_result, tov_file::kAccepted);
  EXPECT_EQ(odd_version.races.size(), 1u);

  tov_file short_file("short");
  EXPECT_EQ(short_file.open_result, tov_file::kWrongMagic);
  // A rejected file prints nothing, even when not quiet.
  EXPECT_EQ(console.Output(), "");
}

TEST_F(DataDirTest, ReadingStartsAtTheHeaderLengthNotAfterTheStrings) {
  std::string header = Header("t", "a", "d");
  header[10] = static_cast<char>(header.size() + 4);
  Put("gap", header + "junk" + RaceSection({Race(0, "Elf")}));
  tov_file file("gap");
  EXPECT_EQ(file.header_length, header.size() + 4);
  EXPECT_EQ(file.title.str(), "t");
  EXPECT_EQ(file.author.str(), "a");
  EXPECT_EQ(file.description.str(), "d");
  ASSERT_EQ(file.races.size(), 1u);
  EXPECT_EQ(file.races[0].name.str(), "Elf");
}

TEST_F(DataDirTest, QuietFalseReportsHeaderThenEachSection) {
  Put("report", Header("abc", "me", "d") + RaceSection({Race(0, "Elf")}) + CareerSection({}));
  tov_file file("nothing");
  test_support::ConsoleCapture console;
  EXPECT_EQ(file.Open("report", false), tov_file::kAccepted);
  file.ReadAll(false);
  EXPECT_EQ(console.Output(),
            "\nReading file report...\n\n"
            "\tDated:           12/6/26"
            "\n\tHeader length:   21"
            "\n\tTitle:           abc"
            "\n\tAuthor:          me"
            "\n\tDescription:     d"
            "\n\n\n"
            "READ RACE DATA\n"
            "READ CAREER DATA\n");
  EXPECT_FALSE(file.in_stream.is_open());
}

TEST_F(DataDirTest, NameDifferingOnlyInCaseFindsTheSave) {
  Put("save01", Header("mine") + RaceSection({Race(0, "Elf")}));
  tov_file file("Save01");
  EXPECT_TRUE(file.file_found);
  EXPECT_EQ(file.races.size(), 1u);
  // Later saves replace the file that was read rather than making a second.
  EXPECT_EQ(file.file_name, "save01");
  ASSERT_TRUE(file.Write(true));
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"save01.tov"}));

  // An exact match always wins.
  Put("Save01", Header("theirs"));
  tov_file exact("Save01");
  EXPECT_EQ(exact.title.str(), "theirs");
  EXPECT_EQ(exact.file_name, "Save01");
}

// --- Sections --------------------------------------------------------------

TEST_F(DataDirTest, SectionsInAnotherOrderAreReadCompletely) {
  Put("mixed", Header() + CareerSection({Career(0, "Cook")}) + RaceSection({Race(0, "Elf")}) +
                   ActorSection({Actor(0, "Al", 0, 0)}) + Section("PART", 1, PartyBytes(0, "P", true, {0})));
  tov_file file("mixed");
  ASSERT_EQ(file.careers.size(), 1u);
  ASSERT_EQ(file.races.size(), 1u);
  ASSERT_EQ(file.actors.size(), 1u);
  ASSERT_EQ(file.parties.size(), 1u);
  EXPECT_EQ(file.actors[0].race, &file.races[0]);
  EXPECT_EQ(file.actors[0].career, &file.careers[0]);
  EXPECT_EQ(file.parties[0].members[0], &file.actors[0]);
}

TEST_F(DataDirTest, UnknownTagStopsReadingAndReportsWhenNotQuiet) {
  const std::string bytes = Header() + RaceSection({Race(0, "Elf")}) + Section("ITEM", 0, "") +
                            CareerSection({Career(0, "Cook")});
  Put("items", bytes);
  tov_file quiet_file("items");
  EXPECT_EQ(quiet_file.races.size(), 1u);
  EXPECT_TRUE(quiet_file.careers.empty());
  EXPECT_FALSE(quiet_file.in_stream.is_open());

  tov_file loud("nothing");
  test_support::ConsoleCapture console;
  loud.Open("items", false);
  const std::string header_report = console.Output();
  loud.ReadAll(false);
  EXPECT_EQ(console.Output().substr(header_report.size()), "READ RACE DATA\n\n\n\t\tERROR: UNKNOWN TAG.\n\n\n");
  EXPECT_TRUE(loud.careers.empty());
}

TEST_F(DataDirTest, RepeatedSectionOverwritesFromTheStartAndResizes) {
  Put("grow", Header() + RaceSection({Race(0, "A"), Race(1, "B")}) +
                  RaceSection({Race(5, "C"), Race(6, "D"), Race(7, "E")}));
  tov_file grow("grow");
  ASSERT_EQ(grow.races.size(), 3u);
  EXPECT_EQ(grow.races[0].name.str(), "C");
  EXPECT_EQ(grow.races[2].name.str(), "E");

  Put("shrink", Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C")}) + RaceSection({Race(9, "D")}));
  tov_file shrink("shrink");
  ASSERT_EQ(shrink.races.size(), 1u);
  EXPECT_EQ(shrink.races[0].name.str(), "D");
  EXPECT_EQ(shrink.races[0].id, 9u);

  Put("empty", Header() + RaceSection({Race(0, "A")}) + RaceSection({}) + CareerSection({Career(0, "Cook")}));
  tov_file empty("empty");
  EXPECT_TRUE(empty.races.empty());
  EXPECT_EQ(empty.careers.size(), 1u);
}

TEST_F(DataDirTest, LookupsPickTheLastMatchElseTheFirstRecord) {
  Put("ids", Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(1, "C")}) +
                 CareerSection({Career(0, "W"), Career(1, "X"), Career(2, "Y"), Career(3, "Z")}) +
                 ActorSection({Actor(0, "One", 1, 7), Actor(0, "Two", 9, 2)}) +
                 Section("PART", 1, PartyBytes(0, "P", true, {0, 12})));
  tov_file file("ids");
  EXPECT_EQ(file.FindRace(1), &file.races[2]);
  EXPECT_EQ(file.FindCareer(7), &file.careers[0]);
  EXPECT_EQ(file.FindActor(0), &file.actors[1]);
  // Reading resolves references to exactly the same records.
  EXPECT_EQ(file.actors[0].race, &file.races[2]);
  EXPECT_EQ(file.actors[0].career, &file.careers[0]);
  EXPECT_EQ(file.actors[1].race, &file.races[0]);
  EXPECT_EQ(file.actors[1].career, &file.careers[2]);
  ASSERT_EQ(file.parties[0].member_count, 2);
  EXPECT_EQ(file.parties[0].members[0], &file.actors[1]);
  EXPECT_EQ(file.parties[0].members[1], &file.actors[0]);
}

TEST_F(DataDirTest, ReferencesBeforeTheirSectionsResolveToNothing) {
  Put("early", Header() + Section("PART", 2, PartyBytes(0, "P", true, {0, 1}) + PartyBytes(1, "Q", false, {0})) +
                   ActorSection({Actor(0, "Al", 0, 0)}) + RaceSection({Race(0, "Elf")}));
  tov_file file("early");
  ASSERT_EQ(file.actors.size(), 1u);
  EXPECT_EQ(file.actors[0].race, nullptr);
  EXPECT_EQ(file.actors[0].career, nullptr);
  EXPECT_EQ(file.actors[0].race_id, 0u);
  ASSERT_EQ(file.parties.size(), 2u);
  for (party& group : file.parties) {
    EXPECT_EQ(group.member_count, 0);
    EXPECT_TRUE(group.members.empty());
  }
}

TEST_F(DataDirTest, SharedMembersAreTheFilesActorsPrivateOnesAreCopies) {
  Put("parties", Header() + RaceSection({Race(0, "Elf")}) + CareerSection({Career(0, "Cook")}) +
                     ActorSection({Actor(0, "Al", 0, 0), Actor(1, "Bo", 0, 0)}) +
                     Section("PART", 4,
                             PartyBytes(0, "S1", true, {1, 0}) + PartyBytes(1, "S2", true, {1}) +
                                 PartyBytes(2, "P1", false, {1}) + PartyBytes(3, "P2", false, {1})));
  tov_file file("parties");
  ASSERT_EQ(file.parties.size(), 4u);
  party& shared = file.parties[0];
  ASSERT_EQ(shared.member_count, 2);
  EXPECT_EQ(shared.members[0], &file.actors[1]);
  EXPECT_EQ(file.parties[1].members[0], &file.actors[1]);
  file.actors[1].health.base = 1234;
  EXPECT_EQ(shared.members[0]->health.base, 1234);

  actor* copy1 = file.parties[2].members[0];
  actor* copy2 = file.parties[3].members[0];
  ASSERT_NE(copy1, nullptr);
  EXPECT_NE(copy1, &file.actors[1]);
  EXPECT_NE(copy1, copy2);
  EXPECT_EQ(copy1->name.str(), "Bo");
  EXPECT_EQ(copy1->race, &file.races[0]);
  EXPECT_EQ(copy1->health.base, 0);  // copied before the change above
  copy1->health.base = 77;
  EXPECT_EQ(file.actors[1].health.base, 1234);
  EXPECT_EQ(copy2->health.base, 0);
  // A copy's stats are wired to its own primaries.
  EXPECT_EQ(copy1->health.dom(), &copy1->strength);
}

// --- Damaged files -----------------------------------------------------------

TEST_F(DataDirTest, CountBeyondTheFileMakesOnlyTheRecordsPresent) {
  Put("tiny", Header() + Section("RACE", 65535, Form(Race(0, "Elf")) + Form(Race(1, "Orc"))));
  tov_file file("tiny");
  ASSERT_EQ(file.races.size(), 2u);
  EXPECT_EQ(file.races[1].name.str(), "Orc");

  // Cut inside the third record: it stays as far as it was read.
  const std::string third = Form(Race(2, "Imp"));
  Put("cut", Header() + Section("RACE", 65535, Form(Race(0, "Elf")) + Form(Race(1, "Orc")) + third.substr(0, 9)));
  tov_file cut("cut");
  ASSERT_EQ(cut.races.size(), 3u);
  EXPECT_EQ(cut.races[2].id, 2u);
  EXPECT_EQ(cut.races[2].name.length, 3);

  // A repeated section cut short keeps the earlier records it did not reach,
  // up to its count, but invents none.
  Put("again", Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C"), Race(3, "D")}) +
                   Section("RACE", 3, Form(Race(7, "E"))));
  tov_file again("again");
  ASSERT_EQ(again.races.size(), 3u);
  EXPECT_EQ(again.races[0].name.str(), "E");
  EXPECT_EQ(again.races[1].name.str(), "B");
  EXPECT_EQ(again.races[2].name.str(), "C");

  Put("header cut", Header() + RaceSection({Race(0, "A")}) + std::string("RACE\x08\0\0\0", 8));
  tov_file header_cut("header cut");
  EXPECT_EQ(header_cut.races.size(), 1u);
}

TEST_F(DataDirTest, RecordsRemovedByALaterSectionAreNotLeftDangling) {
  // The actors point at races 1 and 2, and the party at actor 1, before
  // later sections shrink those collections.
  Put("shrinking", Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C")}) +
                       CareerSection({Career(0, "W"), Career(1, "X")}) +
                       ActorSection({Actor(0, "Al", 1, 1), Actor(1, "Bo", 2, 0)}) +
                       Section("PART", 2, PartyBytes(0, "S", true, {1, 0}) + PartyBytes(1, "P", false, {1})) +
                       RaceSection({Race(2, "D"), Race(4, "E")}) + CareerSection({Career(1, "Y")}) +
                       ActorSection({Actor(1, "Cy", 0, 0)}));
  tov_file file("shrinking");
  ASSERT_EQ(file.races.size(), 2u);
  ASSERT_EQ(file.actors.size(), 1u);
  // Actor 0 was read again in place; its references are its new ones.
  EXPECT_EQ(file.actors[0].race, &file.races[0]);
  EXPECT_EQ(file.actors[0].career, &file.careers[0]);
  // The shared party's first member was the removed actor at position 1:
  // looked up again by its identifier, it is the actor now carrying 1.
  party& shared = file.parties[0];
  ASSERT_EQ(shared.member_count, 2);
  EXPECT_EQ(shared.members[0], &file.actors[0]);
  EXPECT_EQ(shared.members[1], &file.actors[0]);
  // The private copy of "Bo" pointed at race position 2, now gone: its race
  // identifier 2 is looked up again.
  actor* copy = file.parties[1].members[0];
  EXPECT_EQ(copy->name.str(), "Bo");
  EXPECT_EQ(copy->race, &file.races[0]);
  EXPECT_EQ(copy->career, &file.careers[0]);
  // A reference whose record still exists keeps pointing at that position.
  Put("kept", Header() + RaceSection({Race(0, "A"), Race(1, "B")}) + ActorSection({Actor(0, "Al", 0, 0)}) +
                  RaceSection({Race(1, "C")}) + RaceSection({Race(1, "D"), Race(0, "E")}));
  tov_file kept("kept");
  EXPECT_EQ(kept.actors[0].race, &kept.races[0]);
}

// A real save cut at every byte loads without harm: every record that is
// complete in the cut file equals the original, and every pointer points
// into the file's own collections.
TEST_F(DataDirTest, SaveTruncatedAtEveryByteLoadsSafely) {
  ASSERT_TRUE(dir_.CopyCoreData());
  {
    tov_file content("Core Data");
    content.RenameFile("save01", false);
    content.actors.push_back(Actor(6, "Hero", 3, 5));
    content.parties[0].members[0] = &content.actors.back();
    ASSERT_TRUE(content.Write(true));
  }
  const std::string save = Read("save01");
  tov_file full("save01");
  for (std::string::size_type cut = 0; cut < save.size(); ++cut) {
    Put("cut", save.substr(0, cut));
    tov_file file("cut");
    SCOPED_TRACE(cut);
    ASSERT_LE(file.races.size(), full.races.size());
    ASSERT_LE(file.careers.size(), full.careers.size());
    ASSERT_LE(file.actors.size(), full.actors.size());
    ASSERT_LE(file.parties.size(), full.parties.size());
    for (std::size_t i = 0; i + 1 < file.races.size(); ++i) ASSERT_EQ(Form(file.races[i]), Form(full.races[i]));
    for (std::size_t i = 0; i + 1 < file.careers.size(); ++i) {
      ASSERT_EQ(Form(file.careers[i]), Form(full.careers[i]));
    }
    for (std::size_t i = 0; i + 1 < file.actors.size(); ++i) ASSERT_EQ(Form(file.actors[i]), Form(full.actors[i]));
    for (actor& a : file.actors) {
      ASSERT_TRUE(data_file_test::PointsInto(a.race, file.races));
      ASSERT_TRUE(data_file_test::PointsInto(a.career, file.careers));
    }
    for (party& group : file.parties) {
      ASSERT_EQ(group.members.size(), group.member_count);
      for (actor* member : group.members) {
        ASSERT_NE(member, nullptr);
        if (group.shared_members) {
          ASSERT_TRUE(data_file_test::PointsInto(member, file.actors));
        }
      }
    }
    // Whatever was loaded can be saved again (sampled: each save syncs).
    if (cut % 61 == 0) {
      ASSERT_TRUE(file.Write(true)) << file.write_error;
    }
  }
}

// --- Failed saves ------------------------------------------------------------

class FailedSaveTest : public DataDirTest {
 protected:
  void SetUp() override {
    DataDirTest::SetUp();
    ASSERT_TRUE(dir_.CopyCoreData());
    tov_file content("Core Data");
    content.RenameFile("save01", false);
    ASSERT_TRUE(content.Write(true));
    old_save_ = Read("save01");
  }

  // The old save is byte for byte what it was, and no temporary file is left.
  void ExpectOldSaveIntact(const std::string& data_dir) {
    std::ifstream in(data_dir + "/save01.tov", std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(now, old_save_);
    for (const auto& entry : std::filesystem::directory_iterator(data_dir)) {
      EXPECT_NE(entry.path().filename().string()[0], '~') << entry.path();
    }
  }

  std::string old_save_;
};

TEST_F(FailedSaveTest, DataDirectoryThatVanishedFailsAndKeepsTheSave) {
  tov_file file("save01");
  file.actors.push_back(Actor(9, "New", 0, 0));
  std::filesystem::rename(dir_.path() + "/data", dir_.path() + "/moved");
  EXPECT_FALSE(file.Write(true));
  EXPECT_EQ(file.write_error, "the data directory does not exist");
  ExpectOldSaveIntact(dir_.path() + "/moved");
}

TEST_F(FailedSaveTest, DataDirectoryThatIsAFileFails) {
  tov_file file("save01");
  std::filesystem::rename(dir_.path() + "/data", dir_.path() + "/moved");
  { std::ofstream(dir_.path() + "/data") << "not a directory"; }
  EXPECT_FALSE(file.Write(true));
  EXPECT_EQ(file.write_error, "the data directory does not exist");
  ExpectOldSaveIntact(dir_.path() + "/moved");
}

TEST_F(FailedSaveTest, ReadOnlyDataDirectoryFailsAndKeepsTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  tov_file file("save01");
  file.actors.push_back(Actor(9, "New", 0, 0));
  ::chmod((dir_.path() + "/data").c_str(), 0555);
  const bool written = file.Write(true);
  ::chmod((dir_.path() + "/data").c_str(), 0755);
  EXPECT_FALSE(written);
  EXPECT_EQ(file.write_error, "the data directory is not writable");
  ExpectOldSaveIntact(dir_.path() + "/data");
}

// A full disk, simulated by a file-size limit smaller than the save: the
// write stops part-way as it would on a full disk. The limit is set in a
// child process so it cannot reach other tests.
TEST_F(FailedSaveTest, FullDiskFailsAndKeepsTheSave) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 1000;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    tov_file file("save01");
    file.actors.push_back(Actor(9, "New", 0, 0));
    const bool written = file.Write(true);
    ::_exit(!written && file.write_error == "the file is larger than this system lets the game write" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectOldSaveIntact(dir_.path() + "/data");

  // The same object saves once the space is back.
  tov_file file("save01");
  file.actors.push_back(Actor(9, "New", 0, 0));
  EXPECT_TRUE(file.Write(true)) << file.write_error;
  EXPECT_EQ(tov_file("save01").actors.size(), file.actors.size());
}

TEST_F(FailedSaveTest, TemporaryPathTakenByADirectoryFailsCleanly) {
  std::filesystem::create_directory(dir_.path() + "/data/~save01.tov");
  tov_file file("save01");
  EXPECT_FALSE(file.Write(true));
  EXPECT_FALSE(file.write_error.empty());
  std::filesystem::remove(dir_.path() + "/data/~save01.tov");
  ExpectOldSaveIntact(dir_.path() + "/data");
}

}  // namespace
