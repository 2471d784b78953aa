#include "platform/file_store.h"

#include <cctype>
#include <new>

namespace file_store {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string Describe(const problem& kind, const std::string& system_words) {
  switch (kind) {
    case problem::kNone:
      return "";
    case problem::kCannotOpen:
      return "the file cannot be opened";
    case problem::kDiskFull:
      return "the disk is full";
    case problem::kFileTooLarge:
      return "the file is larger than this system lets the game write";
    case problem::kNotWritable:
      return "the data directory is not writable";
    case problem::kNoDirectory:
      return "the data directory does not exist";
    case problem::kNoMemory:
      return "there is not enough memory";
    case problem::kInTheWay:
    case problem::kOther:
      break;
  }
  return system_words;
}

std::string TemporaryBeside(const std::string& path) {
  const std::size_t name = path.find_last_of(kSeparators) + 1;  // 0 when there is no folder
  return path.substr(0, name) + "~" + path.substr(name);
}

outcome TemporaryInTheWay(const std::string& temporary) {
  const std::string name = temporary.substr(temporary.find_last_of(kSeparators) + 1);
  return {problem::kInTheWay, "the folder " + name + " in the data directory is in the way; remove it"};
}

std::string MatchCase(const std::vector<std::string>& names, const std::string& wanted) {
  const std::string lower = Lower(wanted);
  std::string match;
  bool found = false;
  for (const std::string& name : names) {
    if (name == wanted) return name;
    if (Lower(name) != lower) continue;
    if (!found || name < match) match = name;
    found = true;
  }
  return match;
}

outcome ReadChunks(const std::size_t& size_hint, const chunk_reader& read_some, std::string& bytes) {
  outcome result;
  bool failed = false;
  const auto fill = [&](char* to, const std::size_t& n) {
    std::size_t got = 0;
    if (!read_some(to, n, got)) failed = true;
    return failed ? 0 : got;
  };
  try {
    bytes.resize(size_hint);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
      const std::size_t got = fill(bytes.data() + filled, bytes.size() - filled);
      if (got == 0) break;
      filled += got;
    }
    bytes.resize(filled);
    char chunk[1 << 16];
    while (!failed) {
      const std::size_t got = fill(chunk, sizeof chunk);
      if (got == 0) break;
      bytes.append(chunk, got);
    }
    if (failed) result = {problem::kCannotOpen, Describe(problem::kCannotOpen, "")};
  } catch (const std::bad_alloc&) {
    result = {problem::kNoMemory, Describe(problem::kNoMemory, "")};
  }
  if (!result.ok()) std::string().swap(bytes);
  return result;
}

}  // namespace file_store
