#include "platform/recording_store.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/file_store.h"
#include "platform/recorder.h"

namespace recording_store {
namespace {

constexpr char kExtension[] = ".cast";
constexpr std::size_t kStampLength = 19;  // 2026-12-08T07-00-00

bool Digits(const std::string& text, std::size_t from, std::size_t count) {
  if (from + count > text.size() || count == 0) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                     text.begin() + static_cast<std::ptrdiff_t>(from + count),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// The start stamp and the attempt of a name FileName made; attempt 0 for
// any other name.
std::pair<std::string, long> Order(const std::string& name) {
  const std::string pattern = "dddd-dd-ddTdd-dd-dd";
  const std::size_t extension = name.size() - (sizeof kExtension - 1);
  if (name.size() < kStampLength + sizeof kExtension - 1 || name.compare(extension, std::string::npos, kExtension) != 0) {
    return {"", 0};
  }
  for (std::size_t i = 0; i < kStampLength; ++i) {
    if (pattern[i] == 'd' ? !Digits(name, i, 1) : name[i] != pattern[i]) return {"", 0};
  }
  if (extension == kStampLength) return {name.substr(0, kStampLength), 1};
  if (name[kStampLength] != '-' || !Digits(name, kStampLength + 1, extension - kStampLength - 1) ||
      extension - kStampLength > 6) {
    return {"", 0};
  }
  return {name.substr(0, kStampLength), std::atol(name.c_str() + kStampLength + 1)};
}

// Lines pile up in memory and reach the file when the player is waited
// for, so a screen costs no write of its own.
class file_sink : public recorder::sink {
 public:
  bool Open(const std::string& path, const std::string& header_line) {
    return file_.Create(path) && file_.Append(header_line);
  }

  void Take(const recording::event& happened) override {
    if (file_.is_open()) pending_ += recording::EventLine(happened);
  }

  void Waiting() override {
    if (pending_.empty()) return;
    // A full disk or a vanished folder ends the recording, not the game.
    if (!file_.Append(pending_)) file_.Close();
    pending_.clear();
  }

 private:
  file_store::appender file_;
  std::string pending_;
};

file_sink live;

// What the game showed on its way out comes after the last wait.
void WriteTheRest() { live.Waiting(); }

std::string Create(const std::string& folder, const recording::header& head) {
  const std::string line = recording::HeaderLine(head);
  for (int attempt = 1; attempt <= 99; ++attempt) {
    const std::string path = folder + "/" + FileName(static_cast<std::time_t>(head.timestamp), attempt);
    if (file_store::Exists(path)) continue;
    if (live.Open(path, line)) return path;
    return "";
  }
  return "";
}

}  // namespace

std::string FileName(const std::time_t& start, const int& attempt) {
  char stamp[32] = "1970-01-01T00-00-00";
  if (const std::tm* utc = std::gmtime(&start)) std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H-%M-%S", utc);
  std::string name = stamp;
  if (attempt > 1) {
    name += '-';
    name += std::to_string(attempt);
  }
  return name + kExtension;
}

std::vector<std::string> Outdated(const std::vector<std::string>& names, const std::size_t& kept) {
  std::vector<std::pair<std::pair<std::string, long>, std::string>> ours;
  for (const std::string& name : names) {
    auto order = Order(name);
    if (order.second > 0) ours.push_back({std::move(order), name});
  }
  std::sort(ours.begin(), ours.end());
  std::vector<std::string> outdated;
  for (std::size_t i = 0; i + kept < ours.size(); ++i) outdated.push_back(ours[i].second);
  return outdated;
}

std::vector<recording::data_file> CurrentFiles(const std::string& directory,
                                               const std::vector<std::string>& names) {
  std::vector<recording::data_file> files;
  for (const std::string& wanted : names) {
    const std::string found = file_store::FindName(directory, wanted);
    recording::data_file file{found, ""};
    if (found.empty() || !file_store::ReadWhole(directory + found, file.bytes).ok()) continue;
    files.push_back(std::move(file));
  }
  return files;
}

std::string Begin(const std::string& folder, recording::header head) {
  head.timestamp = static_cast<std::int64_t>(std::time(nullptr));
  if (!file_store::MakeDirectory(folder)) return "";
  const std::string path = Create(folder, head);
  if (path.empty()) return "";
  for (const std::string& old : Outdated(file_store::ListNames(folder), kKept)) file_store::Remove(folder + "/" + old);
  recorder::Attach(&live);
  std::atexit(WriteTheRest);
  return path;
}

}  // namespace recording_store
