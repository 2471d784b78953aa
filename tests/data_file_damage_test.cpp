// Damaged data files read from memory: what a file cut short or reshaped by
// repeated sections leaves behind, that the reader says where it stopped,
// and the inputs the fuzzer found.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "fuzz/data_file_walk.h"
#include "support/data_file_bytes.h"

namespace {

using namespace data_file_test;

TEST(DataFileDamage, CountBeyondTheFileMakesOnlyTheRecordsPresent) {
  const std::string header = Header();
  const auto file =
      Load(header + Section("RACE", 65535, FileForm(Race(0, "Elf")) + FileForm(Race(1, "Orc"))));
  ASSERT_EQ(file->races.size(), 2u);
  EXPECT_EQ(file->races[1].name.str(), "Orc");
  EXPECT_TRUE(file->stopped_early);
  EXPECT_EQ(file->stopped_at, header.size());

  // Cut inside the third record: it stays as far as it was read.
  const std::string third = FileForm(Race(2, "Imp"));
  const auto cut =
      Load(header +
           Section("RACE", 65535, FileForm(Race(0, "Elf")) + FileForm(Race(1, "Orc")) + third.substr(0, 9)));
  ASSERT_EQ(cut->races.size(), 3u);
  EXPECT_EQ(cut->races[2].id, 2u);
  EXPECT_EQ(cut->races[2].name.length, 3);
  EXPECT_TRUE(cut->stopped_early);

  // A repeated section cut short keeps the earlier records it did not reach,
  // up to its count, but invents none.
  const auto again = Load(header + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C"), Race(3, "D")}) +
                          Section("RACE", 3, FileForm(Race(7, "E"))));
  ASSERT_EQ(again->races.size(), 3u);
  EXPECT_EQ(again->races[0].name.str(), "E");
  EXPECT_EQ(again->races[1].name.str(), "B");
  EXPECT_EQ(again->races[2].name.str(), "C");

  const std::string one = header + RaceSection({Race(0, "A")});
  const auto header_cut = Load(one + std::string("RACE\x08\0\0\0", 8));
  EXPECT_EQ(header_cut->races.size(), 1u);
  EXPECT_TRUE(header_cut->stopped_early);
  EXPECT_EQ(header_cut->stopped_at, one.size());
}

TEST(DataFileDamage, RecordsRemovedByALaterSectionAreNotLeftDangling) {
  // The actors point at races 1 and 2, and the party at actor 1, before
  // later sections shrink those collections.
  const auto owner =
      Load(Header() + RaceSection({Race(0, "A"), Race(1, "B"), Race(2, "C")}) +
           CareerSection({Career(0, "W"), Career(1, "X")}) +
           ActorSection({Actor(0, "Al", 1, 1), Actor(1, "Bo", 2, 0)}) +
           Section("PART", 2, PartyBytes(0, "S", true, {1, 0}) + PartyBytes(1, "P", false, {1})) +
           RaceSection({Race(2, "D"), Race(4, "E")}) + CareerSection({Career(1, "Y")}) +
           ActorSection({Actor(1, "Cy", 0, 0)}));
  tov_file& file = *owner;
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
  const auto kept =
      Load(Header() + RaceSection({Race(0, "A"), Race(1, "B")}) + ActorSection({Actor(0, "Al", 0, 0)}) +
           RaceSection({Race(1, "C")}) + RaceSection({Race(1, "D"), Race(0, "E")}));
  EXPECT_EQ(kept->actors[0].race, &kept->races[0]);
}

// A real save cut at every byte loads without harm: every record that is
// complete in the cut file equals the original, every pointer points into
// the file's own collections, and only the whole file reads as undamaged.
TEST(DataFileDamage, SaveTruncatedAtEveryByteLoadsSafely) {
  std::string save;
  {
    const auto content = Load(CoreData());
    ASSERT_EQ(content->open_result, tov_file::kAccepted);
    content->actors.push_back(Actor(6, "Hero", 3, 5));
    content->parties[0].members[0] = &content->actors.back();
    save = Save(*content);
  }
  ASSERT_FALSE(save.empty());
  const auto full = Load(save);
  EXPECT_FALSE(full->stopped_early);
  for (std::string::size_type cut = 0; cut < save.size(); ++cut) {
    const auto owner = Load(save.substr(0, cut));
    tov_file& file = *owner;
    SCOPED_TRACE(cut);
    if (cut >= 4 && !file.stopped_early) {
      // Only a cut between two sections leaves a whole file behind.
      ASSERT_EQ(Save(file).size(), cut);
    }
    ASSERT_LE(file.races.size(), full->races.size());
    ASSERT_LE(file.careers.size(), full->careers.size());
    ASSERT_LE(file.actors.size(), full->actors.size());
    ASSERT_LE(file.parties.size(), full->parties.size());
    for (std::size_t i = 0; i + 1 < file.races.size(); ++i)
      ASSERT_EQ(FileForm(file.races[i]), FileForm(full->races[i]));
    for (std::size_t i = 0; i + 1 < file.careers.size(); ++i) {
      ASSERT_EQ(FileForm(file.careers[i]), FileForm(full->careers[i]));
    }
    for (std::size_t i = 0; i + 1 < file.actors.size(); ++i) {
      ASSERT_EQ(FileForm(file.actors[i]), FileForm(full->actors[i]));
    }
    for (actor& a : file.actors) {
      ASSERT_TRUE(PointsInto(a.race, file.races));
      ASSERT_TRUE(PointsInto(a.career, file.careers));
    }
    for (party& group : file.parties) {
      ASSERT_EQ(group.members.size(), group.member_count);
      for (actor* member : group.members) {
        ASSERT_NE(member, nullptr);
        if (group.shared_members) {
          ASSERT_TRUE(PointsInto(member, file.actors));
        }
      }
    }
    // Whatever was loaded can be saved again.
    ASSERT_GE(Save(file).size(), 15u);
  }
}

// --- inputs the fuzzer found ----------------------------------------------

std::vector<std::filesystem::path> FilesIn(const std::string& directory) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(OSSIVAR_SOURCE_DIR) + directory)) {
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// What the fuzzer does with one input: load, walk every pointer, save;
// after the first save, loading and saving reproduces the file.
void Replay(const std::filesystem::path& input) {
  SCOPED_TRACE(input.filename().string());
  std::string bytes = test_support::ReadFile(input);
  std::string saves[3];
  for (std::string& save : saves) {
    const auto file = Load(bytes);
    data_file_walk::Walk(*file);
    save = Save(*file);
    ASSERT_FALSE(save.empty()) << file->write_error;
    bytes = save;
  }
  EXPECT_EQ(saves[1], saves[2]);
}

// Inputs that once crashed the reader or exhausted its memory, the hand-made
// files behind the damaged-file rules, and the fuzzer's seeds.
TEST(FuzzInputTest, RegressionAndSeedInputsLoadAndSaveSafely) {
  for (const char* directory : {"/tests/fuzz/regressions", "/tests/fuzz/corpus"}) {
    const auto inputs = FilesIn(directory);
    ASSERT_FALSE(inputs.empty()) << directory;
    for (const auto& input : inputs) Replay(input);
  }
}

}  // namespace
