#ifndef OSSIVAR_PLATFORM_FILE_STORE_H
#define OSSIVAR_PLATFORM_FILE_STORE_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The game's only contact with the file system. Everything here works on
// whole files and plain paths; what the bytes mean is the data file's
// business. Each operating system provides the functions declared under
// "backend" in a file_store_<system>.cpp of its own; the rest is shared.
namespace file_store {

// Why an operation failed, in the words a player reads.
enum class problem {
  kNone,
  kCannotOpen,
  kDiskFull,
  kFileTooLarge,
  kNotWritable,
  kNoDirectory,
  kNoMemory,
  kInTheWay,  // the temporary file's name is taken by something not removable
  kOther,     // the system's own words say what
};

struct outcome {
  problem kind = problem::kNone;
  std::string words;  // empty when all went well

  bool ok() const { return kind == problem::kNone; }
};

// The words for a problem; `system_words` fills in kOther.
std::string Describe(const problem& kind, const std::string& system_words);

// Of the names, the one equal to `wanted`; else the first in name order
// that differs from it only in letter case; else "".
std::string MatchCase(const std::vector<std::string>& names, const std::string& wanted);

// The temporary file a safe replace of `path` writes first: the same
// directory, "~" before the name.
std::string TemporaryBeside(const std::string& path);

// A folder stands under the temporary file's name: the player's to remove.
outcome TemporaryInTheWay(const std::string& temporary);

// Reads one chunk of at most `n` bytes to `to` and sets `got` (0 at the end
// of the file); false when the system failed to read.
using chunk_reader = std::function<bool(char* to, const std::size_t& n, std::size_t& got)>;

// The whole of an open file, through its backend's chunk reader: the size
// the system gave is read straight into place, without passing the bytes
// through a buffer of our own, then whatever more there is (the file grew,
// or the system knows no size). kCannotOpen when a read failed, kNoMemory
// when the bytes do not fit in memory; bytes are empty after a failure.
outcome ReadChunks(const std::size_t& size_hint, const chunk_reader& read_some, std::string& bytes);

// --- backend -------------------------------------------------------------

// What separates the folders of a path on this system.
extern const char kSeparators[];

// The process's working directory; "" when it has none (it was removed).
std::string WorkingDirectory();

// Reads the whole file: kCannotOpen when it cannot be opened (or read),
// kNoMemory when it is larger than the memory to hold it. Bytes are empty
// after a failure.
outcome ReadWhole(const std::string& path, std::string& bytes);

// The file `name` in `directory` (which ends in a separator) if it exists,
// else the one whose name differs only in letter case (see MatchCase);
// "" when there is none.
std::string FindName(const std::string& directory, const std::string& name);

bool Exists(const std::string& path);

// Whether both paths name one and the same existing file.
bool SameFile(const std::string& first, const std::string& second);

// Moves a file to a new name; false when it could not.
bool Rename(const std::string& from, const std::string& to);

// Puts `bytes` at `path` so that the file there is at every moment either
// the old one untouched or the new one complete. The bytes go to
// `temporary` (a name in the same directory, created afresh: whatever had
// that name before is removed first and never written through), reach the
// disk, and only then replace the old file. On failure the temporary file
// is gone again and, unless only the final sync of the directory failed,
// the old file is as it was.
outcome Replace(const std::string& path, const std::string& temporary, const std::string& bytes);

// --- folders, for the recordings and their replay -------------------------

// Makes the folder (its parent must exist); true when it exists afterwards.
bool MakeDirectory(const std::string& path);

// The names in a folder, "." and ".." left out, in name order; empty when
// it cannot be read.
std::vector<std::string> ListNames(const std::string& directory);

// Removes a file; false when it could not.
bool Remove(const std::string& path);

// Removes a folder and everything in it; false when anything stayed.
bool RemoveTree(const std::string& path);

// A new, empty folder of the process's own in the system's place for
// temporary files; "" when none could be made.
std::string MakeTemporaryDirectory();

// Makes `path` the working directory; false when it could not.
bool ChangeDirectory(const std::string& path);

// A file written a piece at a time, each piece handed to the system before
// Append returns (not synced to the disk: a crash of the program loses
// nothing written, a power cut may). Any failure closes it; later appends
// then fail at once.
class appender {
 public:
  appender() = default;
  appender(const appender&) = delete;
  appender& operator=(const appender&) = delete;
  ~appender();

  // Creates the file, which must not exist yet; false when it could not.
  bool Create(const std::string& path);
  bool Append(const std::string& bytes);
  bool is_open() const;
  void Close();

 private:
  // The system's handle: a file descriptor, or a HANDLE as an integer.
  long long handle_ = -1;
};

}  // namespace file_store

#endif
