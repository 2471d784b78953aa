// What only Windows has: a file another program holds open cannot be
// replaced, and paths may use either slash or name a drive.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "data_file/io_file.h"
#include "platform/file_store.h"
#include "support/data_file_bytes.h"
#include "support/failed_save.h"
#include "support/test_support.h"

namespace {

using namespace data_file_test;

// The old save open elsewhere without sharing: the new one cannot take its
// place, and the player is told why in words that do not blame the data
// directory. Once it is let go, the save goes through.
TEST_F(FailedSaveTest, ASaveHeldOpenIsKeptAndTheReasonGiven) {
  const auto file = Changed();
  const std::wstring save = std::filesystem::path(PathOf("save01")).wstring();

  const HANDLE held =
      CreateFileW(save.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const bool written = file->Write(true);
  CloseHandle(held);
  EXPECT_FALSE(written);
  EXPECT_EQ(file->write_error, "the file there is open in another program or marked read-only");
  ExpectOldSaveIntact(DataDirectory());

  ASSERT_TRUE(file->Write(true)) << file->write_error;
  EXPECT_EQ(Open("save01")->actors.size(), file->actors.size());
}

TEST(FileStoreWindows, TheTemporaryFileLiesBesideTheFileWhateverTheSeparator) {
  EXPECT_EQ(file_store::TemporaryBeside("C:\\games\\data\\save01.tov"), "C:\\games\\data\\~save01.tov");
  EXPECT_EQ(file_store::TemporaryBeside("C:\\games/data\\save01.tov"), "C:\\games/data\\~save01.tov");
  EXPECT_EQ(file_store::TemporaryBeside("C:save01.tov"), "C:~save01.tov");
  EXPECT_EQ(file_store::TemporaryInTheWay("C:\\data\\~save01.tov").words,
            "the folder ~save01.tov in the data directory is in the way; remove it");
}

}  // namespace
