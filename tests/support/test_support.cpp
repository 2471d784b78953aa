#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

namespace test_support {
namespace {

[[noreturn]] void ThrowEndOfInput() { throw EndOfInput(); }

}  // namespace

std::string Normalise(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

// --- ConsoleCapture ---

ConsoleCapture::ConsoleCapture(const std::string& input)
    : input_(input),
      saved_cin_(std::cin.rdbuf(input_.rdbuf())),
      saved_cout_(std::cout.rdbuf(output_.rdbuf())),
      saved_handler_(input::SetEndOfInputHandler(ThrowEndOfInput)) {}

ConsoleCapture::~ConsoleCapture() {
  input::SetEndOfInputHandler(saved_handler_);
  std::cout.rdbuf(saved_cout_);
  std::cin.rdbuf(saved_cin_);
}

std::string ConsoleCapture::Output() const { return output_.str(); }

// --- TempDir ---

TempDir::TempDir() {
  // A name nobody else has: create_directory fails on one that exists.
  std::random_device entropy;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("ossivar-test-" + std::to_string(entropy()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.generic_string();
      return;
    }
  }
  throw std::runtime_error("no temporary directory could be made");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool TempDir::CopyCoreData() const {
  const std::filesystem::path data = std::filesystem::path(path_) / "data";
  std::filesystem::create_directories(data);
  const std::filesystem::path source = std::filesystem::path(OSSIVAR_SOURCE_DIR) / "data" / "Core Data.tov";
  std::error_code error;
  std::filesystem::copy_file(source, data / "Core Data.tov", std::filesystem::copy_options::overwrite_existing,
                             error);
  return !error;
}

bool InstallInto(const std::string& prefix, std::string* log) {
  const std::string log_path = prefix + ".log";
  const std::string command = std::string("'") + OSSIVAR_CMAKE_COMMAND + "' --install '" + OSSIVAR_BUILD_DIR +
                              "' --prefix '" + prefix + "' > '" + log_path + "' 2>&1";
  const bool installed = std::system(command.c_str()) == 0;
  if (log != nullptr) *log = ReadFile(log_path);
  std::filesystem::remove(log_path);
  return installed;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace test_support
