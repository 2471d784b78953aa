// The file store on POSIX systems.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/file_store.h"

namespace file_store {

const char kSeparators[] = "/";

namespace {

problem Classify(const int& error) {
  switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return problem::kDiskFull;
    case EFBIG:
      return problem::kFileTooLarge;
    case EACCES:
    case EPERM:
    case EROFS:
      return problem::kNotWritable;
    case ENOENT:
    case ENOTDIR:
      return problem::kNoDirectory;
    case ENOMEM:
      return problem::kNoMemory;
    default:
      return problem::kOther;
  }
}

outcome Failure(const int& error, const std::string& before = "") {
  const problem kind = Classify(error);
  return {kind, before + Describe(kind, std::strerror(error))};
}

// A write past the file-size limit must fail with EFBIG, which the caller
// reports, instead of ending the process by signal.
void IgnoreFileSizeSignal() {
  static const bool ignored = [] {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGXFSZ, &action, nullptr) == 0;
  }();
  (void)ignored;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Whatever is left under the temporary name (an earlier save cut short, or
// a link someone planted) goes, without following it anywhere.
outcome ClearTemporary(const std::string& temporary) {
  if (::unlink(temporary.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR) return {};
  const int error = errno;
  struct stat info {};
  if (::lstat(temporary.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return TemporaryInTheWay(temporary);
  }
  return Failure(error);
}

bool WriteAll(const int& fd, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) {
      errno = ENOSPC;
      return false;
    }
    written += static_cast<std::size_t>(count);
  }
  return true;
}

// The rename itself must reach the disk too, or a power cut may bring the
// old file back (or none at all).
outcome SyncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failure(errno, "the save may not have reached the disk: ");
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  const int error = errno;
  ::close(fd);
  if (!synced) return Failure(error, "the save may not have reached the disk: ");
  return {};
}

}  // namespace

std::string WorkingDirectory() {
  std::vector<char> buffer(256);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() >= (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

outcome ReadWhole(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {problem::kCannotOpen, Describe(problem::kCannotOpen, "")};
  const auto read_some = [fd](char* to, const std::size_t& n, std::size_t& got) {
    ssize_t count = 0;
    do {
      count = ::read(fd, to, n);
    } while (count < 0 && errno == EINTR);
    got = count > 0 ? static_cast<std::size_t>(count) : 0;
    return count >= 0;
  };
  struct stat info {};
  const std::size_t size =
      ::fstat(fd, &info) == 0 && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  const outcome result = ReadChunks(size, read_some, bytes);
  ::close(fd);
  return result;
}

std::string FindName(const std::string& directory, const std::string& name) {
  if (Exists(directory + name)) return name;
  DIR* listing = ::opendir(directory.empty() ? "." : directory.c_str());
  if (listing == nullptr) return "";
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(listing)) names.emplace_back(entry->d_name);
  ::closedir(listing);
  return MatchCase(names, name);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

bool Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

outcome Replace(const std::string& path, const std::string& temporary, const std::string& bytes) {
  IgnoreFileSizeSignal();
  const outcome cleared = ClearTemporary(temporary);
  if (!cleared.ok()) return cleared;
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return Failure(errno);
  bool done = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && errno != EINTR && done) {
    done = false;
    error = errno;
  }
  if (done && ::rename(temporary.c_str(), path.c_str()) != 0) {
    done = false;
    error = errno;
  }
  if (!done) {
    ::unlink(temporary.c_str());
    return Failure(error);
  }
  return SyncDirectory(DirectoryOf(path));
}

bool MakeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat info {};
  return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> ListNames(const std::string& directory) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(listing);
  std::sort(names.begin(), names.end());
  return names;
}

bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

// A link is removed as the link it is: lstat never looks through it, so
// nothing outside the tree is touched.
bool RemoveTree(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode)) return Remove(path);
  bool all = true;
  for (const std::string& name : ListNames(path)) all = RemoveTree(path + "/" + name) && all;
  return ::rmdir(path.c_str()) == 0 && all;
}

std::string MakeTemporaryDirectory() {
  const char* place = std::getenv("TMPDIR");
  std::string pattern = place != nullptr && *place != '\0' ? place : "/tmp";
  if (pattern.back() != '/') pattern += '/';
  pattern += "ossivar-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return "";
  return name.data();
}

bool ChangeDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

appender::~appender() { Close(); }

bool appender::Create(const std::string& path) {
  Close();
  IgnoreFileSizeSignal();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_APPEND, 0644);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

bool appender::Append(const std::string& bytes) {
  if (!is_open()) return false;
  if (WriteAll(static_cast<int>(handle_), bytes)) return true;
  Close();
  return false;
}

bool appender::is_open() const { return handle_ >= 0; }

void appender::Close() {
  if (!is_open()) return;
  ::close(static_cast<int>(handle_));
  handle_ = -1;
}

}  // namespace file_store
