// Saves that cannot be completed keep the old save; the safe replace never
// writes through a name someone else put where its temporary file goes.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

class FailedSaveTest : public DataDirTest {
 protected:
  void SetUp() override {
    DataDirTest::SetUp();
    ASSERT_TRUE(dir_.CopyCoreData());
    const auto content = Open("Core Data");
    content->RenameFile("save01", false);
    ASSERT_TRUE(content->Write(true)) << content->write_error;
    old_save_ = Read("save01");
  }

  // The old save is byte for byte what it was, and no temporary file is left.
  void ExpectOldSaveIntact(const std::string& data_dir) {
    EXPECT_EQ(test_support::ReadFile(data_dir + "/save01.tov"), old_save_);
    for (const auto& entry : std::filesystem::directory_iterator(data_dir)) {
      EXPECT_NE(entry.path().filename().string()[0], '~') << entry.path();
    }
  }

  std::string Temporary() const { return DataDirectory() + "~save01.tov"; }

  std::string old_save_;
};

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

TEST_F(FailedSaveTest, ReadOnlyDataDirectoryFailsAndKeepsTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const auto file = Open("save01");
  file->actors.push_back(Actor(9, "New", 0, 0));
  ::chmod((dir_.path() + "/data").c_str(), 0555);
  const bool written = file->Write(true);
  ::chmod((dir_.path() + "/data").c_str(), 0755);
  EXPECT_FALSE(written);
  EXPECT_EQ(file->write_error, "the data directory is not writable");
  ExpectOldSaveIntact(dir_.path() + "/data");
}

TEST_F(FailedSaveTest, TooManyRecordsLeavesTheSaveAlone) {
  const auto file = Open("save01");
  file->careers.resize(65536);
  EXPECT_FALSE(file->Write(true));
  EXPECT_FALSE(file->write_error.empty());
  ExpectOldSaveIntact(dir_.path() + "/data");
}

// A full disk, simulated by a file-size limit smaller than the save: the
// write stops part-way as it would on a full disk, and the game, which sets
// nothing up for it, gets the failure instead of being ended by a signal.
// The limit is set in a child process so it cannot reach other tests.
TEST_F(FailedSaveTest, FileSizeLimitFailsTheSaveAndKeepsTheOldOne) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 1000;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    const auto file = Open("save01");
    file->actors.push_back(Actor(9, "New", 0, 0));
    const bool written = file->Write(true);
    ::_exit(!written && file->write_error == "the file is larger than this system lets the game write" ? 0
                                                                                                       : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectOldSaveIntact(dir_.path() + "/data");

  // The same save goes through once the space is back.
  const auto file = Open("save01");
  file->actors.push_back(Actor(9, "New", 0, 0));
  EXPECT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(Open("save01")->actors.size(), file->actors.size());
}

// A link planted under the temporary name must not carry the save into the
// file it points at, outside the data directory.
TEST_F(FailedSaveTest, LinksUnderTheTemporaryNameAreRemovedNotWrittenThrough) {
  const std::string outside = dir_.path() + "/outside.txt";
  { std::ofstream(outside) << "keep me"; }
  const auto file = Open("save01");
  file->actors.push_back(Actor(9, "New", 0, 0));

  ASSERT_EQ(::link(outside.c_str(), Temporary().c_str()), 0);
  ASSERT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(test_support::ReadFile(outside), "keep me");
  EXPECT_EQ(Open("save01")->actors.size(), file->actors.size());

  ASSERT_EQ(::symlink(outside.c_str(), Temporary().c_str()), 0);
  ASSERT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(test_support::ReadFile(outside), "keep me");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Temporary())));
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
