#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data_file/io_file.h"
#include "fuzz/data_file_walk.h"
#include "support/data_file_bytes.h"

namespace {

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
    const auto file = data_file_test::Load(bytes);
    data_file_walk::Walk(*file);
    save = data_file_test::Save(*file);
    ASSERT_FALSE(save.empty()) << file->write_error;
    bytes = save;
  }
  EXPECT_EQ(saves[1], saves[2]);
}

// Inputs that once crashed the reader or exhausted its memory, and the
// hand-made files behind the damaged-file rules.
TEST(FuzzInputTest, RegressionInputsLoadAndSaveSafely) {
  const auto inputs = FilesIn("/tests/fuzz/regressions");
  ASSERT_FALSE(inputs.empty());
  for (const auto& input : inputs) Replay(input);
}

TEST(FuzzInputTest, SeedInputsLoadAndSaveSafely) {
  const auto inputs = FilesIn("/tests/fuzz/corpus");
  ASSERT_FALSE(inputs.empty());
  for (const auto& input : inputs) Replay(input);
}

}  // namespace
