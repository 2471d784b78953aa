#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_store.h"
#include "support/size_limit.h"

namespace {

class PlatformFilesPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = file_store::MakeTemporaryDirectory();
    ASSERT_NE(dir_, "");
  }
  void TearDown() override {
    if (dir_.empty()) return;
    EXPECT_TRUE(file_store::RemoveTree(dir_));
  }

  std::string dir_;
};

// In a child, so the limit ends with it: the append that goes past the
// limit fails, the file is closed, and the process lives on.
TEST_F(PlatformFilesPosixTest, AppendPastTheSizeLimitFailsAndCloses) {
  const std::string path = dir_ + "/full";
  const std::string outcome = test_support::UnderFileSizeLimit(1000, [&] {
    file_store::appender file;
    if (!file.Create(path) || !file.Append(std::string(600, 'a'))) return false;
    const bool refused = !file.Append(std::string(600, 'b'));
    return refused && !file.is_open() && !file.Append("c");
  });
  EXPECT_EQ(outcome, "");
  // What fitted was handed on; nothing past the limit.
  std::string bytes;
  ASSERT_TRUE(file_store::ReadWhole(path, bytes).ok());
  EXPECT_EQ(bytes.substr(0, 600), std::string(600, 'a'));
  EXPECT_LE(bytes.size(), 1000u);
}

TEST_F(PlatformFilesPosixTest, RemoveTreeRemovesLinksNotWhatTheyLeadTo) {
  const std::string outside = file_store::MakeTemporaryDirectory();
  ASSERT_NE(outside, "");
  {
    file_store::appender file;
    ASSERT_TRUE(file.Create(outside + "/precious"));
    ASSERT_TRUE(file.Append("keep me"));
  }
  ASSERT_TRUE(file_store::MakeDirectory(dir_ + "/tree"));
  ASSERT_EQ(::symlink(outside.c_str(), (dir_ + "/tree/folder link").c_str()), 0);
  ASSERT_EQ(::symlink((outside + "/precious").c_str(), (dir_ + "/tree/file link").c_str()), 0);
  ASSERT_EQ(::symlink((dir_ + "/nowhere").c_str(), (dir_ + "/tree/dangling").c_str()), 0);

  EXPECT_TRUE(file_store::RemoveTree(dir_ + "/tree"));
  EXPECT_TRUE(file_store::ListNames(dir_).empty());
  std::string bytes;
  EXPECT_TRUE(file_store::ReadWhole(outside + "/precious", bytes).ok());
  EXPECT_EQ(bytes, "keep me");
  EXPECT_TRUE(file_store::RemoveTree(outside));
}

TEST_F(PlatformFilesPosixTest, TemporaryFoldersAreTheProcesssOwn) {
  struct stat info {};
  ASSERT_EQ(::stat(dir_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_NE(dir_.find("/ossivar-"), std::string::npos);
}

}  // namespace
