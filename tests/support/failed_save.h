#ifndef OSSIVAR_TESTS_SUPPORT_FAILED_SAVE_H
#define OSSIVAR_TESTS_SUPPORT_FAILED_SAVE_H

// A data directory holding a save, for the tests of saves that fail.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace data_file_test {

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

  // The save as loaded, with one more actor for the next save to write.
  std::unique_ptr<tov_file> Changed() const {
    auto file = Open("save01");
    file->actors.push_back(Actor(9, "New", 0, 0));
    return file;
  }

  std::string old_save_;
};

}  // namespace data_file_test

#endif
