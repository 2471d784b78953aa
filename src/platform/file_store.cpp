#include "platform/file_store.h"

#include <cctype>

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

}  // namespace file_store
