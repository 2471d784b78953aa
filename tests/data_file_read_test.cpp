// Reading data files from bytes in memory: the header check, the sections,
// references between records, and what a damaged file leaves behind.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

// Reads the bytes loudly, as a tool would; returns what was printed.
std::string ReadLoudly(tov_file& file, const std::string& bytes) {
  test_support::ConsoleCapture console;
  std::istringstream in(bytes);
  file.Read(in, false);
  return console.Output();
}

// --- Header ----------------------------------------------------------------

TEST(DataFileRead, AcceptanceLooksAtMagicAndFirstVersionByteOnly) {
  const std::string races = RaceSection({Race(0, "Elf")});
  const auto odd_version = Load(Header("", "", "", {0, 7, 9}) + races);
  EXPECT_EQ(odd_version->open_result, tov_file::kAccepted);
  EXPECT_EQ(odd_version->races.size(), 1u);

  const struct {
    std::string bytes;
    int result;
  } refused[] = {{"iTOW" + Header().substr(4) + races, tov_file::kWrongMagic},
                 {Header("", "", "", {1, 0, 4}) + races, tov_file::kWrongVersion},
                 {"iTO", tov_file::kWrongMagic},
                 {"", tov_file::kWrongMagic}};
  for (const auto& r : refused) {
    SCOPED_TRACE(r.bytes.substr(0, 7));
    EXPECT_EQ(Load(r.bytes)->open_result, r.result);
    // A refused file reads nothing and prints nothing, even when not quiet.
    tov_file loud;
    EXPECT_EQ(ReadLoudly(loud, r.bytes), "");
    EXPECT_EQ(loud.open_result, r.result);
    EXPECT_TRUE(loud.races.empty());
  }
}

// A file too short for its whole header is damaged: it is neither taken as
// a data file with nothing in it nor read on from garbage.
TEST(DataFileRead, HeaderCutShortIsRefusedAsDamaged) {
  const std::string header = Header("title", "me", "about");
  for (std::size_t cut = 4; cut < header.size(); ++cut) {
    SCOPED_TRACE(cut);
    const auto file = Load(header.substr(0, cut));
    EXPECT_EQ(file->open_result, tov_file::kCutShort);
    EXPECT_TRUE(file->stopped_early);
    EXPECT_EQ(file->stopped_at, 0u);
  }
  // A wrong version byte is still told apart, however short the rest.
  EXPECT_EQ(Load("iTOV\x01")->open_result, tov_file::kWrongVersion);
  const auto whole = Load(header);
  EXPECT_EQ(whole->open_result, tov_file::kAccepted);
  EXPECT_FALSE(whole->stopped_early);
  EXPECT_EQ(whole->description.str(), "about");
}

TEST(DataFileRead, ReadingStartsAtTheHeaderLengthNotAfterTheStrings) {
  std::string header = Header("t", "a", "d");
  header[10] = static_cast<char>(header.size() + 4);
  const auto file = Load(header + "junk" + RaceSection({Race(0, "Elf")}));
  EXPECT_EQ(file->header_length, header.size() + 4);
  EXPECT_EQ(file->title.str(), "t");
  EXPECT_EQ(file->author.str(), "a");
  EXPECT_EQ(file->description.str(), "d");
  ASSERT_EQ(file->races.size(), 1u);
  EXPECT_EQ(file->races[0].name.str(), "Elf");
}

TEST(DataFileRead, QuietFalseReportsHeaderThenEachSection) {
  tov_file file;
  file.file_name = "report";
  EXPECT_EQ(ReadLoudly(file, Header("abc", "me", "d") + RaceSection({Race(0, "Elf")}) + CareerSection({})),
            "\nReading file report...\n\n"
            "\tDated:           12/6/26"
            "\n\tHeader length:   21"
            "\n\tTitle:           abc"
            "\n\tAuthor:          me"
            "\n\tDescription:     d"
            "\n\n\n"
            "READ RACE DATA\n"
            "READ CAREER DATA\n");
  EXPECT_EQ(file.open_result, tov_file::kAccepted);
}

// --- Sections --------------------------------------------------------------

TEST(DataFileRead, SectionsInAnotherOrderAreReadCompletely) {
  const auto file =
      Load(Header() + CareerSection({Career(0, "Cook")}) + RaceSection({Race(0, "Elf")}) +
           ActorSection({Actor(0, "Al", 0, 0)}) + Section("PART", 1, PartyBytes(0, "P", true, {0})));
  ASSERT_EQ(file->careers.size(), 1u);
  ASSERT_EQ(file->races.size(), 1u);
  ASSERT_EQ(file->actors.size(), 1u);
  ASSERT_EQ(file->parties.size(), 1u);
  EXPECT_EQ(file->actors[0].race, &file->races[0]);
  EXPECT_EQ(file->actors[0].career, &file->careers[0]);
  EXPECT_EQ(file->parties[0].members[0], &file->actors[0]);
  EXPECT_FALSE(file->stopped_early);
}

TEST(DataFileRead, UnknownTagStopsReadingAndReportsWhenNotQuiet) {
  const std::string before = Header() + RaceSection({Race(0, "Elf")});
  const std::string bytes = before + Section("ITEM", 0, "") + CareerSection({Career(0, "Cook")});
  const auto quiet = Load(bytes);
  EXPECT_EQ(quiet->races.size(), 1u);
  EXPECT_TRUE(quiet->careers.empty());
  EXPECT_TRUE(quiet->stopped_early);
  EXPECT_EQ(quiet->stopped_at, before.size());

  tov_file loud;
  const std::string output = ReadLoudly(loud, bytes);
  EXPECT_EQ(output.substr(output.find("READ")), "READ RACE DATA\n\n\n\t\tERROR: UNKNOWN TAG.\n\n\n");
  EXPECT_TRUE(loud.careers.empty());

  // Fewer bytes than a tag are no known tag either.
  const auto stray = Load(before + "RA");
  EXPECT_TRUE(stray->stopped_early);
  EXPECT_EQ(stray->races.size(), 1u);
}

TEST(DataFileRead, RepeatedSectionOverwritesFromTheStartAndResizes) {
  const auto grow = Load(Header() + RaceSection({Race(0, "A"), Race(1, "B")}) +
                         RaceSection({Race(5, "C"), Race(6, "D"), Race(7, "E")}));
  ASSERT_EQ(grow->races.size(), 3u);
  EXPECT_EQ(grow->races[0].name.str(), "C");
  EXPECT_EQ(grow->races[2].name.str(), "E");

  const auto shrink =
      Load(Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C")}) + RaceSection({Race(9, "D")}));
  ASSERT_EQ(shrink->races.size(), 1u);
  EXPECT_EQ(shrink->races[0].name.str(), "D");
  EXPECT_EQ(shrink->races[0].id, 9u);

  const auto empty =
      Load(Header() + RaceSection({Race(0, "A")}) + RaceSection({}) + CareerSection({Career(0, "Cook")}));
  EXPECT_TRUE(empty->races.empty());
  EXPECT_EQ(empty->careers.size(), 1u);
}

// --- References ------------------------------------------------------------

TEST(DataFileRead, LookupsPickTheLastMatchElseTheFirstRecord) {
  const auto file = Load(Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(1, "C")}) +
                         CareerSection({Career(0, "W"), Career(1, "X"), Career(2, "Y"), Career(3, "Z")}) +
                         ActorSection({Actor(0, "One", 1, 7), Actor(0, "Two", 9, 2)}) +
                         Section("PART", 1, PartyBytes(0, "P", true, {0, 12})));
  EXPECT_EQ(file->FindRace(1), &file->races[2]);
  EXPECT_EQ(file->FindCareer(7), &file->careers[0]);
  EXPECT_EQ(file->FindActor(0), &file->actors[1]);
  // Reading resolves references to exactly the same records.
  EXPECT_EQ(file->actors[0].race, &file->races[2]);
  EXPECT_EQ(file->actors[0].career, &file->careers[0]);
  EXPECT_EQ(file->actors[1].race, &file->races[0]);
  EXPECT_EQ(file->actors[1].career, &file->careers[2]);
  ASSERT_EQ(file->parties[0].member_count, 2);
  EXPECT_EQ(file->parties[0].members[0], &file->actors[1]);
  EXPECT_EQ(file->parties[0].members[1], &file->actors[0]);
}

// References go by the identifiers the records carry when they are
// resolved: those of a section read again, and those of records the file
// held before this reading.
TEST(DataFileRead, ReferencesFollowTheIdentifiersAsTheyStandNow) {
  const auto reread = Load(Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C")}) +
                           RaceSection({Race(1, "D"), Race(0, "E")}) + ActorSection({Actor(0, "Al", 0, 0)}));
  ASSERT_EQ(reread->races.size(), 2u);
  EXPECT_EQ(reread->actors[0].race, &reread->races[1]);

  tov_file file;
  file.races.emplace_back(5, "Old", "", &aspects::kindness, &aspects::greed, stat_modifiers{});
  std::istringstream in(Header() + ActorSection({Actor(0, "Al", 5, 0)}));
  file.Read(in, true);
  ASSERT_EQ(file.actors.size(), 1u);
  EXPECT_EQ(file.actors[0].race, &file.races[0]);
}

// A second reading into the same file may remove records the first one's
// records point at: those references are looked up again, and the texts of
// the first reading's records stay readable.
TEST(DataFileRead, ASecondReadingLeavesTheFirstOnesRecordsSound) {
  tov_file file;
  auto first = std::make_unique<std::istringstream>(
      Header() + RaceSection({Race(0, "Elf"), Race(1, "Dwarf")}) + CareerSection({Career(0, "Cook")}) +
      ActorSection({Actor(0, "Al", 1, 0), Actor(1, "Bo", 0, 0)}) +
      Section("PART", 2, PartyBytes(0, "S", true, {1, 0}) + PartyBytes(1, "P", false, {0})));
  file.Read(*first, true);
  first.reset();
  std::istringstream second(Header() + RaceSection({Race(0, "Orc")}) + ActorSection({Actor(1, "Cy", 0, 0)}));
  file.Read(second, true);

  ASSERT_EQ(file.races.size(), 1u);
  ASSERT_EQ(file.actors.size(), 1u);
  EXPECT_EQ(file.actors[0].name.str(), "Cy");
  EXPECT_EQ(file.actors[0].race, &file.races[0]);
  ASSERT_EQ(file.parties.size(), 2u);
  // Bo was removed; identifier 1 is Cy's now.
  const party& shared = file.parties[0];
  EXPECT_EQ(shared.name.str(), "S");
  ASSERT_EQ(shared.member_count, 2);
  EXPECT_EQ(shared.members[0], &file.actors[0]);
  EXPECT_EQ(shared.members[1], &file.actors[0]);
  // The private copy of Al named the removed Dwarf; no race carries 1 now.
  const party& own = file.parties[1];
  EXPECT_EQ(own.name.str(), "P");
  ASSERT_EQ(own.member_count, 1);
  EXPECT_EQ(own.members[0]->name.str(), "Al");
  EXPECT_EQ(own.members[0]->race, &file.races[0]);
}

TEST(DataFileRead, ReferencesBeforeTheirSectionsResolveToNothing) {
  const auto file =
      Load(Header() + Section("PART", 2, PartyBytes(0, "P", true, {0, 1}) + PartyBytes(1, "Q", false, {0})) +
           ActorSection({Actor(0, "Al", 0, 0)}) + RaceSection({Race(0, "Elf")}));
  ASSERT_EQ(file->actors.size(), 1u);
  EXPECT_EQ(file->actors[0].race, nullptr);
  EXPECT_EQ(file->actors[0].career, nullptr);
  EXPECT_EQ(file->actors[0].race_id, 0u);
  ASSERT_EQ(file->parties.size(), 2u);
  for (party& group : file->parties) {
    EXPECT_EQ(group.member_count, 0);
    EXPECT_TRUE(group.members.empty());
  }
}

TEST(DataFileRead, SharedMembersAreTheFilesActorsPrivateOnesAreCopies) {
  const auto owner = Load(Header() + RaceSection({Race(0, "Elf")}) + CareerSection({Career(0, "Cook")}) +
                          ActorSection({Actor(0, "Al", 0, 0), Actor(1, "Bo", 0, 0)}) +
                          Section("PART", 4,
                                  PartyBytes(0, "S1", true, {1, 0}) + PartyBytes(1, "S2", true, {1}) +
                                      PartyBytes(2, "P1", false, {1}) + PartyBytes(3, "P2", false, {1})));
  tov_file& file = *owner;
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

// Private member copies cost a whole actor per 4-byte identifier; a file
// that would need far more memory than its size is refused, not loaded.
TEST(DataFileRead, PrivateCopiesBeyondTheBudgetRefuseTheFile) {
  const auto file_of = [](const int& parties) {
    std::string body;
    const std::vector<std::uint32_t> ids(party::kMaxMembers, 0);
    for (int p = 0; p < parties; ++p) body += PartyBytes(static_cast<std::uint32_t>(p), "G", false, ids);
    return Header() + RaceSection({Race(0, "Elf")}) + CareerSection({Career(0, "Cook")}) +
           ActorSection({Actor(0, "Al", 0, 0)}) + Section("PART", static_cast<std::uint16_t>(parties), body);
  };
  const auto within = Load(file_of(8));
  EXPECT_EQ(within->open_result, tov_file::kAccepted);
  ASSERT_EQ(within->parties.size(), 8u);
  EXPECT_EQ(within->parties[7].member_count, party::kMaxMembers);

  const auto beyond = Load(file_of(400));
  EXPECT_EQ(beyond->open_result, tov_file::kTooLarge);
  EXPECT_TRUE(beyond->races.empty() && beyond->careers.empty() && beyond->actors.empty() &&
              beyond->parties.empty());
}

}  // namespace
