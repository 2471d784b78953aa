#ifndef OSSIVAR_TESTS_SUPPORT_TEST_SUPPORT_H
#define OSSIVAR_TESTS_SUPPORT_TEST_SUPPORT_H

// Helpers shared by the test executables.
//
//   ConsoleCapture  runs screen code in memory: scripted input, captured output.
//   TempDir         a fresh directory to run in, removed afterwards.
//   InstallInto     installs the game as a player would.
//
// PtySession, which runs the real game on a pseudo-terminal, is POSIX only:
// support/pty_session.h.

#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/input.h"

namespace test_support {

// Thrown by the end-of-input handler ConsoleCapture installs, so a test whose
// scripted input runs out fails instead of ending the test process.
struct EndOfInput : std::runtime_error {
  EndOfInput() : std::runtime_error("scripted input ran out") {}
};

// While alive, std::cin reads `input` and std::cout writes into memory.
// Screens drawn meanwhile contain no escape sequences and key waits return
// at once (the terminal module sees the swapped buffers).
class ConsoleCapture {
 public:
  explicit ConsoleCapture(const std::string& input = "");
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  // Everything written to std::cout so far.
  std::string Output() const;

 private:
  std::istringstream input_;
  std::ostringstream output_;
  std::streambuf* saved_cin_;
  std::streambuf* saved_cout_;
  input::EndOfInputHandler saved_handler_;
};

// A fresh directory under the system's temporary directory, removed with all
// its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  // Creates data/ inside and copies the repository's "data/Core Data.tov"
  // into it. False (data/ still made) when the source file does not exist.
  bool CopyCoreData() const;

 private:
  std::string path_;
};

// Installs the build these tests belong to under `prefix`, as
// `cmake --install` does for a player. On failure `log` holds what it said.
bool InstallInto(const std::string& prefix, std::string* log);

// Pieces the expected screens are spelled with.
inline std::string Spaces(std::size_t count) { return std::string(count, ' '); }
// The rule under the character sheet and above the battle roster.
inline const std::string kRule = std::string(80, '=') + "\n";
// The character sheet before anything on it is known.
inline const std::string kBlankHeader =
    Spaces(41) + "\n" + Spaces(48) + "\n" + Spaces(48) + "\n" + Spaces(48) + "\n";

// "\r\n" turned into "\n".
std::string Normalise(const std::string& text);

// A whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// What a record or value writes to a file (any stream but std::cout).
template <typename T>
std::string FileForm(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

// What it writes to the console (std::cout itself).
template <typename T>
std::string ConsoleForm(const T& value) {
  ConsoleCapture capture;
  std::cout << value;
  return capture.Output();
}

}  // namespace test_support

#endif
