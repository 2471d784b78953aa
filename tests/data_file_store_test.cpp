// The data file through the file system: opening by base name in the data
// directory, renaming, and the letter-case match of names.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

TEST_F(DataDirTest, MissingFileGivesEmptyCollectionsNoOutputAndThePathTried) {
  test_support::ConsoleCapture console;
  const auto file = Open("nothing here");
  EXPECT_FALSE(file->file_found);
  EXPECT_EQ(file->open_result, tov_file::kWrongMagic);
  EXPECT_EQ(file->Path(), PathOf("nothing here"));
  EXPECT_TRUE(file->races.empty() && file->careers.empty() && file->actors.empty() && file->parties.empty());
  EXPECT_EQ(file->title.length, 0);
  EXPECT_EQ(file->FindRace(0), nullptr);
  EXPECT_EQ(file->FindCareer(0), nullptr);
  EXPECT_EQ(file->FindActor(0), nullptr);
  EXPECT_EQ(console.Output(), "");
}

TEST(DataFileStore, DirectoryIsTheWorkingDirectoryAndData) {
  tov_file file("no such file here");
  const std::string expected = std::filesystem::current_path().string() + "/data/";
  EXPECT_EQ(file.directory, expected);
  EXPECT_EQ(file.Path(), expected + "no such file here.tov");
  file.DefineCurrentDirectory();
  EXPECT_EQ(file.directory, expected);
}

TEST_F(DataDirTest, OpenReadsTheFileAndReportsWhereADamagedOneStopped) {
  const std::string whole = Header("x") + RaceSection({Race(0, "Elf")});
  Put("whole", whole);
  const auto file = Open("whole");
  EXPECT_TRUE(file->file_found);
  EXPECT_EQ(file->open_result, tov_file::kAccepted);
  EXPECT_EQ(file->races.size(), 1u);
  EXPECT_FALSE(file->stopped_early);

  Put("cut", whole.substr(0, whole.size() - 3));
  const auto cut = Open("cut");
  EXPECT_EQ(cut->open_result, tov_file::kAccepted);
  EXPECT_TRUE(cut->stopped_early);
  EXPECT_EQ(cut->Path(), PathOf("cut"));

  Put("only magic", "iTOV");
  const auto magic = Open("only magic");
  EXPECT_TRUE(magic->file_found);
  EXPECT_EQ(magic->open_result, tov_file::kCutShort);
  EXPECT_TRUE(magic->stopped_early);
}

TEST_F(DataDirTest, RenameWithoutMovingLeavesTheContentFileAlone) {
  ASSERT_TRUE(dir_.CopyCoreData());
  const std::string content = Read("Core Data");
  const auto file = Open("Core Data");
  file->RenameFile("save01", false);
  EXPECT_EQ(file->file_name, "save01");
  ASSERT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(Read("Core Data"), content);
  EXPECT_EQ(Read("save01").size(), content.size());
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"Core Data.tov", "save01.tov"}));
}

TEST_F(DataDirTest, RenameWithMoveUsesTheDataDirectoryAndReplacesNothing) {
  Put("old", Header("x"));
  const auto file = Open("old");
  file->RenameFile("new", true);
  EXPECT_EQ(file->file_name, "new");
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"new.tov"}));
  EXPECT_EQ(Read("new"), Header("x"));

  // Another data file under the new name is never overwritten by a move.
  Put("other", Header("y"));
  file->RenameFile("other", true);
  EXPECT_EQ(file->file_name, "other");
  EXPECT_EQ(Read("new"), Header("x"));
  EXPECT_EQ(Read("other"), Header("y"));

  // Nothing to move: only the name changes.
  const auto missing = Open("missing");
  missing->RenameFile("ghost", true);
  EXPECT_EQ(missing->file_name, "ghost");
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"new.tov", "other.tov"}));
}

TEST_F(DataDirTest, NameDifferingOnlyInCaseFindsTheSave) {
  Put("save01", Header("mine") + RaceSection({Race(0, "Elf")}));
  const auto file = Open("Save01");
  EXPECT_TRUE(file->file_found);
  EXPECT_EQ(file->races.size(), 1u);
  // Later saves replace the file that was read rather than making a second.
  EXPECT_EQ(file->file_name, "save01");
  EXPECT_EQ(file->Path(), PathOf("save01"));
  ASSERT_TRUE(file->Write(true));
  EXPECT_EQ(DataDirectoryListing(), (std::vector<std::string>{"save01.tov"}));

  // An exact match always wins.
  Put("Save01", Header("theirs"));
  const auto exact = Open("Save01");
  EXPECT_EQ(exact->title.str(), "theirs");
  EXPECT_EQ(exact->file_name, "Save01");
}

TEST_F(DataDirTest, WritingTheSameFileTwiceChangesOnlyTheDate) {
  ASSERT_TRUE(dir_.CopyCoreData());
  const auto file = Open("Core Data");
  file->RenameFile("save01", false);
  file->clock = FixedClock;
  ASSERT_TRUE(file->Write(true));
  const std::string first = Read("save01");
  file->clock = [] { return LocalTime(2031, 3, 4); };
  ASSERT_TRUE(file->Write(true));
  const std::string second = Read("save01");
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(second.substr(7, 3), Bytes({31, 3, 4}));
  EXPECT_EQ(first.substr(10), second.substr(10));
  EXPECT_EQ(Open("save01")->actors.size(), file->actors.size());
}

}  // namespace
