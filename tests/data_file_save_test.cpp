// Saves that cannot be completed keep the old save; the safe replace never
// writes through a name someone else put where its temporary file goes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/failed_save.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

TEST_F(FailedSaveTest, DataDirectoryThatVanishedFailsAndKeepsTheSave) {
  const auto file = Open("save01");
  file->actors.push_back(Actor(9, "New", 0, 0));
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
  const auto file = Open("save01");
  file->actors.push_back(Actor(9, "New", 0, 0));

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

}  // namespace
