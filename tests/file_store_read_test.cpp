// Reading whole files: every byte whatever the size, files whose size the
// system does not tell, and failures that leave nothing behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_store.h"
#include "support/test_support.h"

namespace {

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
