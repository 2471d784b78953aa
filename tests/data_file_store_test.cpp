// The data file through the file system: opening by base name in the data
// directory, renaming, the letter-case match of names, saves that fail, and
// reading whole files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "platform/file_store.h"
#include "support/data_file_bytes.h"
#include "support/failed_save.h"
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
}

TEST_F(DataDirTest, AnExactMatchWinsWhereLetterCaseCounts) {
  Put("save01", Header("mine"));
  if (std::filesystem::exists(PathOf("SAVE01"))) {
    GTEST_SKIP() << "this file system ignores letter case: both names are one file";
  }
  Put("Save01", Header("theirs"));
  const auto exact = Open("Save01");
  EXPECT_EQ(exact->title.str(), "theirs");
  EXPECT_EQ(exact->file_name, "Save01");
}

// The temporary file of a safe replace lies beside the file it replaces, so
// the final move never crosses folders or drives.
TEST(DataFileStore, TheTemporaryFileLiesBesideTheFile) {
  EXPECT_EQ(file_store::TemporaryBeside("data/Core Data.tov"), "data/~Core Data.tov");
  EXPECT_EQ(file_store::TemporaryBeside("/home/me/data/save01.tov"), "/home/me/data/~save01.tov");
  EXPECT_EQ(file_store::TemporaryBeside("save01.tov"), "~save01.tov");
  const file_store::outcome blocked = file_store::TemporaryInTheWay("data/~save01.tov");
  EXPECT_EQ(blocked.kind, file_store::problem::kInTheWay);
  EXPECT_EQ(blocked.words, "the folder ~save01.tov in the data directory is in the way; remove it");
}

// The working directory, whatever characters its name has, holds the data
// directory the game reads and saves in.
TEST(DataFileStore, AWorkingDirectoryWithANonAsciiNameWorks) {
  test_support::TempDir dir;
  const std::string folder = "\xc3\x86r\xc3\xb8 \xc4\xa7\xe2\x82\xac";  // "Ærø ħ€" in UTF-8
  const std::filesystem::path place =
      std::filesystem::path(dir.path()) / std::u8string(folder.begin(), folder.end());
  std::filesystem::create_directories(place / "data");
  std::filesystem::copy_file(std::filesystem::path(OSSIVAR_SOURCE_DIR) / "data" / "Core Data.tov",
                             place / "data" / "Core Data.tov");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(place);
  std::size_t races = 0;
  std::size_t saved_races = 0;
  bool written = false;
  std::string directory;
  {
    tov_file content("Core Data");
    directory = content.directory;
    races = content.races.size();
    content.RenameFile("save01", false);
    written = content.Write(true);
    saved_races = tov_file("Save01").races.size();
  }
  std::filesystem::current_path(before);
  EXPECT_NE(directory.find(folder + "/data/"), std::string::npos) << directory;
  EXPECT_GT(races, 0u);
  EXPECT_TRUE(written);
  EXPECT_EQ(saved_races, races);
  EXPECT_TRUE(std::filesystem::exists(place / "data" / "save01.tov"));
}

// --- saves that fail ------------------------------------------------------

// A save that cannot be completed keeps the old one; the safe replace never
// writes through a name someone else put where its temporary file goes.

TEST_F(FailedSaveTest, DataDirectoryThatVanishedFailsAndKeepsTheSave) {
  const auto file = Changed();
  std::filesystem::rename(dir_.path() + "/data", dir_.path() + "/moved");
  EXPECT_FALSE(file->Write(true));
  EXPECT_EQ(file->write_error, "the data directory does not exist");
  ExpectOldSaveIntact(dir_.path() + "/moved");
}

TEST_F(FailedSaveTest, DataDirectoryThatIsAFileFails) {
  const auto file = Open("save01");
  std::filesystem::rename(dir_.path() + "/data", dir_.path() + "/moved");
  { std::ofstream(dir_.path() + "/data") << "not a directory"; }
  EXPECT_FALSE(file->Write(true));
  EXPECT_EQ(file->write_error, "the data directory does not exist");
  ExpectOldSaveIntact(dir_.path() + "/moved");
}

TEST_F(FailedSaveTest, TooManyRecordsLeavesTheSaveAlone) {
  const auto file = Open("save01");
  file->careers.resize(65536);
  EXPECT_FALSE(file->Write(true));
  EXPECT_FALSE(file->write_error.empty());
  ExpectOldSaveIntact(dir_.path() + "/data");
}

// A link planted under the temporary name must not carry the save into the
// file it points at, outside the data directory.
TEST_F(FailedSaveTest, AHardLinkUnderTheTemporaryNameIsRemovedNotWrittenThrough) {
  const std::string outside = dir_.path() + "/outside.txt";
  { std::ofstream(outside) << "keep me"; }
  const auto file = Changed();

  std::filesystem::create_hard_link(outside, Temporary());
  ASSERT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(test_support::ReadFile(outside), "keep me");
  EXPECT_EQ(Open("save01")->actors.size(), file->actors.size());
}

// Something under the temporary name that cannot simply be removed is the
// player's to clear: the save fails, says what to do, and says it once.
TEST_F(FailedSaveTest, AFolderInTheWayIsReportedOnceWithWhatToDo) {
  std::filesystem::create_directory(Temporary());
  const auto file = Open("save01");
  EXPECT_FALSE(file->Write(true));
  EXPECT_NE(file->write_error.find("~save01.tov"), std::string::npos) << file->write_error;
  EXPECT_NE(file->write_error.find("remove it"), std::string::npos) << file->write_error;
  EXPECT_FALSE(file->write_error_repeated);
  EXPECT_FALSE(file->Write(true));
  EXPECT_TRUE(file->write_error_repeated);
  EXPECT_TRUE(std::filesystem::is_directory(Temporary()));

  std::filesystem::remove(Temporary());
  EXPECT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_FALSE(file->write_error_repeated);
  EXPECT_TRUE(file->write_error.empty());
  // Once cleared and back again, it is news again.
  std::filesystem::create_directory(Temporary());
  EXPECT_FALSE(file->Write(true));
  EXPECT_FALSE(file->write_error_repeated);
  std::filesystem::remove(Temporary());
  old_save_ = Read("save01");
  ExpectOldSaveIntact(dir_.path() + "/data");
}

// The last step, the new save taking the old one's name, can fail too (here
// a folder holds that name): the save is then not written, must not be
// reported as written, and leaves no temporary file behind.
TEST_F(FailedSaveTest, ARenameThatFailsFailsTheSave) {
  const auto file = Changed();
  const std::string save = PathOf("save01");
  std::filesystem::remove(save);
  std::filesystem::create_directory(save);
  { std::ofstream(save + "/kept.txt") << "keep me"; }

  EXPECT_FALSE(file->Write(true));
  EXPECT_FALSE(file->write_error.empty());
  EXPECT_EQ(test_support::ReadFile(save + "/kept.txt"), "keep me");
  EXPECT_FALSE(std::filesystem::exists(Temporary()));
}

// --- reading whole files --------------------------------------------------

// Every byte whatever the size, files whose size the system does not tell,
// and failures that leave nothing behind.

std::string Pattern(const std::size_t& n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 31 + i / 251) % 256);
  return bytes;
}

TEST(FileStoreRead, EveryByteOfFilesOfManySizes) {
  const test_support::TempDir dir;
  const std::string path = dir.path() + "/whole.bin";
  for (const std::size_t n : {0u, 1u, 65535u, 65536u, 65537u, 300001u}) {
    const std::string bytes = Pattern(n);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(n));
    std::string got = "left from before";
    const file_store::outcome read = file_store::ReadWhole(path, got);
    EXPECT_TRUE(read.ok()) << n << ": " << read.words;
    EXPECT_EQ(got.size(), n);
    EXPECT_TRUE(got == bytes) << n;
  }
}

// Such files tell a size of zero and still have contents.
TEST(FileStoreRead, AFileWithoutAKnownSizeIsReadToItsEnd) {
  const std::string path = "/proc/self/status";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path << " here";
  std::string got;
  ASSERT_TRUE(file_store::ReadWhole(path, got).ok());
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.rfind("Name:", 0), 0u) << got.substr(0, 40);
  EXPECT_EQ(got.back(), '\n');
}

TEST(FileStoreRead, WhatCannotBeReadLeavesNoBytes) {
  const test_support::TempDir dir;
  for (const std::string& path : {dir.path() + "/missing.bin", dir.path()}) {
    std::string got = "left from before";
    const file_store::outcome read = file_store::ReadWhole(path, got);
    EXPECT_EQ(read.kind, file_store::problem::kCannotOpen) << path;
    EXPECT_FALSE(read.words.empty()) << path;
    EXPECT_TRUE(got.empty()) << path;
  }
}

}  // namespace
