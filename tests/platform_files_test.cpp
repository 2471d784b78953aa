#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_store.h"

namespace {

// Each test in a folder of its own, made and removed by the code under test.
class PlatformFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = file_store::MakeTemporaryDirectory();
    ASSERT_NE(dir_, "");
    ASSERT_TRUE(file_store::ListNames(dir_).empty());
  }
  void TearDown() override {
    if (dir_.empty()) return;
    EXPECT_TRUE(file_store::RemoveTree(dir_));
    EXPECT_FALSE(file_store::Exists(dir_));
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  static std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(file_store::ReadWhole(path, bytes).ok()) << path;
    return bytes;
  }

  static void Write(const std::string& path, const std::string& bytes) {
    file_store::appender file;
    ASSERT_TRUE(file.Create(path)) << path;
    ASSERT_TRUE(file.Append(bytes));
  }

  std::string dir_;
};

TEST_F(PlatformFilesTest, AppendsLandInOrderAndCanBeReadAtOnce) {
  file_store::appender file;
  EXPECT_FALSE(file.is_open());
  ASSERT_TRUE(file.Create(Path("session.cast")));
  EXPECT_TRUE(file.is_open());
  // Bytes as they are, line ends and all, on every system.
  const std::vector<std::string> pieces = {"{\"version\": 2}\n", std::string("\r\n\0\x1a\xff", 5), "",
                                           std::string(100000, 'x')};
  std::string expected;
  for (const std::string& piece : pieces) {
    ASSERT_TRUE(file.Append(piece));
    expected += piece;
    EXPECT_EQ(Read(Path("session.cast")), expected);
  }
  file.Close();
  EXPECT_FALSE(file.is_open());
  EXPECT_FALSE(file.Append("after the end"));
  EXPECT_EQ(Read(Path("session.cast")), expected);
}

TEST_F(PlatformFilesTest, CreateNeverWritesThroughAnExistingFile) {
  Write(Path("taken"), "keep me");
  file_store::appender file;
  EXPECT_FALSE(file.Create(Path("taken")));
  EXPECT_FALSE(file.is_open());
  EXPECT_FALSE(file.Append("lost"));
  EXPECT_EQ(Read(Path("taken")), "keep me");
  ASSERT_TRUE(file_store::MakeDirectory(Path("folder")));
  EXPECT_FALSE(file.Create(Path("folder")));
  EXPECT_FALSE(file.Create(Path("missing/file")));
  // The same appender can still make a file elsewhere.
  EXPECT_TRUE(file.Create(Path("fresh")));
  EXPECT_TRUE(file.Append("new"));
  file.Close();
  EXPECT_EQ(Read(Path("fresh")), "new");
}

TEST_F(PlatformFilesTest, FoldersAreMadeListedAndRemoved) {
  EXPECT_TRUE(file_store::MakeDirectory(Path("d")));
  EXPECT_TRUE(file_store::MakeDirectory(Path("d")));
  EXPECT_FALSE(file_store::MakeDirectory(Path("missing/d")));
  for (const std::string name : {"b", "a", "C", "a.cast"}) Write(Path(name), name);
  EXPECT_FALSE(file_store::MakeDirectory(Path("b")));
  EXPECT_EQ(file_store::ListNames(dir_), (std::vector<std::string>{"C", "a", "a.cast", "b", "d"}));
  EXPECT_TRUE(file_store::ListNames(Path("d")).empty());
  EXPECT_TRUE(file_store::ListNames(Path("missing")).empty());

  EXPECT_TRUE(file_store::Remove(Path("a")));
  EXPECT_FALSE(file_store::Exists(Path("a")));
  EXPECT_FALSE(file_store::Remove(Path("a")));
  EXPECT_EQ(file_store::ListNames(dir_), (std::vector<std::string>{"C", "a.cast", "b", "d"}));
}

TEST_F(PlatformFilesTest, RemoveTreeTakesNestedFoldersAndLeavesTheRest) {
  std::string folder = Path("tree");
  for (int level = 0; level < 4; ++level) {
    ASSERT_TRUE(file_store::MakeDirectory(folder));
    Write(folder + "/file", std::to_string(level));
    ASSERT_TRUE(file_store::MakeDirectory(folder + "/empty"));
    folder += "/deeper";
  }
  Write(Path("beside"), "stays");
  EXPECT_TRUE(file_store::RemoveTree(Path("tree")));
  EXPECT_FALSE(file_store::Exists(Path("tree")));
  EXPECT_EQ(file_store::ListNames(dir_), std::vector<std::string>{"beside"});
  EXPECT_FALSE(file_store::RemoveTree(Path("tree")));
  // A plain file is a tree of one.
  EXPECT_TRUE(file_store::RemoveTree(Path("beside")));
  EXPECT_TRUE(file_store::ListNames(dir_).empty());
}

TEST_F(PlatformFilesTest, TemporaryFoldersAreNewEachTime) {
  const std::string other = file_store::MakeTemporaryDirectory();
  ASSERT_NE(other, "");
  EXPECT_NE(other, dir_);
  EXPECT_FALSE(file_store::SameFile(other, dir_));
  EXPECT_TRUE(file_store::ListNames(other).empty());
  EXPECT_TRUE(file_store::RemoveTree(other));
}

TEST_F(PlatformFilesTest, ChangeDirectoryMovesWhereRelativePathsLead) {
  const std::string before = file_store::WorkingDirectory();
  ASSERT_NE(before, "");
  ASSERT_TRUE(file_store::ChangeDirectory(dir_));
  EXPECT_TRUE(file_store::SameFile(file_store::WorkingDirectory(), dir_));
  Write("here", "relative");
  EXPECT_FALSE(file_store::ChangeDirectory("missing"));
  EXPECT_TRUE(file_store::SameFile(file_store::WorkingDirectory(), dir_));
  EXPECT_TRUE(file_store::ChangeDirectory(before));
  EXPECT_EQ(file_store::WorkingDirectory(), before);
  EXPECT_EQ(Read(Path("here")), "relative");
}

}  // namespace
