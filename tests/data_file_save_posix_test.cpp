// Saves that fail for reasons only POSIX systems give: permissions, the
// file-size limit, symbolic links anyone may make.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/failed_save.h"
#include "support/size_limit.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

TEST_F(FailedSaveTest, ReadOnlyDataDirectoryFailsAndKeepsTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const auto file = Changed();
  ::chmod((dir_.path() + "/data").c_str(), 0555);
  const bool written = file->Write(true);
  ::chmod((dir_.path() + "/data").c_str(), 0755);
  EXPECT_FALSE(written);
  EXPECT_EQ(file->write_error, "the data directory is not writable");
  ExpectOldSaveIntact(dir_.path() + "/data");
}

// A full disk, simulated by a file-size limit smaller than the save: the
// write stops part-way as it would on a full disk, and the game, which sets
// nothing up for it, gets the failure instead of being ended by a signal.
// The limit is set in a child process so it cannot reach other tests.
TEST_F(FailedSaveTest, FileSizeLimitFailsTheSaveAndKeepsTheOldOne) {
  const std::string outcome = test_support::UnderFileSizeLimit(1000, [&] {
    const auto file = Changed();
    return !file->Write(true) && file->write_error == "the file is larger than this system lets the game write";
  });
  EXPECT_EQ(outcome, "");
  ExpectOldSaveIntact(dir_.path() + "/data");

  // The same save goes through once the space is back.
  const auto file = Changed();
  EXPECT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(Open("save01")->actors.size(), file->actors.size());
}

// A symbolic link under the temporary name is removed, never followed
// (making one on Windows takes rights a player seldom has).
TEST_F(FailedSaveTest, ASymbolicLinkUnderTheTemporaryNameIsRemovedNotFollowed) {
  const std::string outside = dir_.path() + "/outside.txt";
  { std::ofstream(outside) << "keep me"; }
  const auto file = Changed();

  ASSERT_EQ(::symlink(outside.c_str(), Temporary().c_str()), 0);
  ASSERT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(test_support::ReadFile(outside), "keep me");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Temporary())));
}

}  // namespace
