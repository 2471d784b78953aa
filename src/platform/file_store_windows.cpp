// The file store on Windows. Paths are UTF-8 in the game and UTF-16 in the
// system's calls, so a working directory with any characters works; every
// file is opened in binary, as the data file's bytes are the same on every
// system.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "platform/utf16.h"

namespace file_store {

// Either slash, and the colon after a drive letter ("C:save01.tov").
const char kSeparators[] = "/\\:";

namespace {

std::wstring Wide(const std::string& path) {
  const std::u16string units = utf16::FromUtf8(path);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(const wchar_t* text) {
  std::u16string units;
  for (; *text != L'\0'; ++text) units.push_back(static_cast<char16_t>(*text));
  return utf16::ToUtf8(units);
}

problem Classify(const DWORD& error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return problem::kDiskFull;
    case ERROR_FILE_TOO_LARGE:
      return problem::kFileTooLarge;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return problem::kNotWritable;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
      return problem::kNoDirectory;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return problem::kNoMemory;
    default:
      return problem::kOther;
  }
}

// The system's own words, on one line.
std::string SystemWords(const DWORD& error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "system error " + std::to_string(error);
  std::string words = Narrow(text);
  LocalFree(text);
  while (!words.empty() &&
         (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' || words.back() == '.')) {
    words.pop_back();
  }
  return words;
}

outcome Failure(const DWORD& error) {
  const problem kind = Classify(error);
  return {kind, Describe(kind, SystemWords(error))};
}

// The temporary file was made beside it, so the directory is writable: a
// refused replace means the old file is held open or marked read-only.
outcome ReplaceRefused(const DWORD& error) {
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return {problem::kOther, "the file there is open in another program or marked read-only"};
  }
  return Failure(error);
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

// Whatever is left under the temporary name (an earlier save cut short, or
// a link someone planted) goes; removing a link never touches its target.
outcome ClearTemporary(const std::string& temporary) {
  if (DeleteFileW(Wide(temporary).c_str())) return {};
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
  const DWORD attributes = Attributes(temporary);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return TemporaryInTheWay(temporary);
  }
  return Failure(error);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD count = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
    if (!WriteFile(file, bytes.data() + written, chunk, &count, nullptr)) return false;
    if (count == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    written += count;
  }
  return true;
}

// The names in a directory, for the letter-case match where the file
// system itself tells letter case apart.
std::vector<std::string> Listing(const std::string& directory) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW(Wide(directory + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(Narrow(entry.cFileName));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

// A folder's path ready for a name to follow.
std::string FolderPrefix(const std::string& folder) {
  if (!folder.empty() && std::string(kSeparators).find(folder.back()) != std::string::npos) return folder;
  return folder + "\\";
}

}  // namespace

std::string WorkingDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return "";
  std::vector<wchar_t> buffer(size + 1);
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return "";
  return Narrow(buffer.data());
}

outcome ReadWhole(const std::string& path, std::string& bytes) {
  bytes.clear();
  const HANDLE file =
      CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {problem::kCannotOpen, Describe(problem::kCannotOpen, "")};
  const auto read_some = [file](char* to, const std::size_t& n, std::size_t& got) {
    DWORD count = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    const bool ok = ReadFile(file, to, wanted, &count, nullptr) != 0;
    got = ok ? static_cast<std::size_t>(count) : 0;
    return ok;
  };
  LARGE_INTEGER size{};
  const std::size_t hint =
      GetFileSizeEx(file, &size) && size.QuadPart > 0 ? static_cast<std::size_t>(size.QuadPart) : 0;
  const outcome result = ReadChunks(hint, read_some, bytes);
  CloseHandle(file);
  return result;
}

// The file system's own letter-case rule finds the file, and the search
// gives its name as stored, so later saves replace that very file.
std::string FindName(const std::string& directory, const std::string& name) {
  if (name.find_first_of("*?") == std::string::npos) {
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(Wide(directory + name).c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      return Narrow(entry.cFileName);
    }
  }
  return MatchCase(Listing(directory), name);
}

bool Exists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool SameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION info[2]{};
  const std::string* paths[2] = {&first, &second};
  for (int i = 0; i < 2; ++i) {
    const HANDLE file =
        CreateFileW(Wide(*paths[i]).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info[i]) != 0;
    CloseHandle(file);
    if (!known) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool Rename(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// The rename with write-through is the whole of the atomic step here: the
// system has no directory to sync, and none is asked for.
outcome Replace(const std::string& path, const std::string& temporary, const std::string& bytes) {
  const outcome cleared = ClearTemporary(temporary);
  if (!cleared.ok()) return cleared;
  const std::wstring wide_temporary = Wide(temporary);
  const HANDLE file = CreateFileW(wide_temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failure(GetLastError());
  bool done = WriteAll(file, bytes) && FlushFileBuffers(file);
  DWORD error = GetLastError();
  if (!CloseHandle(file) && done) {
    done = false;
    error = GetLastError();
  }
  if (!done) {
    DeleteFileW(wide_temporary.c_str());
    return Failure(error);
  }
  if (!MoveFileExW(wide_temporary.c_str(), Wide(path).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    DeleteFileW(wide_temporary.c_str());
    return ReplaceRefused(error);
  }
  return {};
}

bool MakeDirectory(const std::string& path) {
  if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> ListNames(const std::string& directory) {
  std::vector<std::string> names;
  for (std::string& name : Listing(FolderPrefix(directory))) {
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool Remove(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

// A link or junction is removed as the link it is, never entered, so
// nothing outside the tree is touched.
bool RemoveTree(const std::string& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (folder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return RemoveDirectoryW(Wide(path).c_str()) != 0;
  }
  if (!folder) return Remove(path);
  bool all = true;
  for (const std::string& name : ListNames(path)) all = RemoveTree(FolderPrefix(path) + name) && all;
  return RemoveDirectoryW(Wide(path).c_str()) != 0 && all;
}

std::string MakeTemporaryDirectory() {
  std::vector<wchar_t> place(MAX_PATH + 2);
  const DWORD length = GetTempPathW(static_cast<DWORD>(place.size()), place.data());
  if (length == 0 || length >= place.size()) return "";
  const std::string base = Narrow(place.data()) + "ossivar-" + std::to_string(GetCurrentProcessId()) + "-";
  // Another process may hold a name, or a folder from an earlier run with
  // the same process id may be left: try the next number.
  static unsigned long counter = 0;
  for (int tries = 0; tries < 1000; ++tries) {
    const std::string path = base + std::to_string(++counter);
    if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return "";
  }
  return "";
}

bool ChangeDirectory(const std::string& path) { return SetCurrentDirectoryW(Wide(path).c_str()) != 0; }

appender::~appender() { Close(); }

bool appender::Create(const std::string& path) {
  Close();
  const HANDLE file = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = static_cast<long long>(reinterpret_cast<std::intptr_t>(file));
  return true;
}

bool appender::Append(const std::string& bytes) {
  if (!is_open()) return false;
  if (WriteAll(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle_)), bytes)) return true;
  Close();
  return false;
}

bool appender::is_open() const { return handle_ != -1; }

void appender::Close() {
  if (!is_open()) return;
  CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle_)));
  handle_ = -1;
}

}  // namespace file_store
