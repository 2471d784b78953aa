#include "loaded.h"

#include <algorithm>
#include <cctype>

#include "model/aspect.h"

namespace tov {

const std::string& places::operator[](const std::string& field) const {
  static const std::string kNowhere;
  auto found = at.find(field);
  if (found != at.end()) return found->second;
  found = at.find("");
  return found != at.end() ? found->second : kNowhere;
}

const record_notes& loaded::Notes(const record_kind& kind, const std::size_t& position) const {
  static const record_notes kNone;
  const auto found = records.find(kind);
  if (found == records.end() || position >= found->second.size()) return kNone;
  return found->second[position];
}

lookups::lookups(const tov_file& file) {
  sections::ForEach([&](const auto& section) {
    collection& to = of_[section.about.kind];
    to.about = &section.about;
    to.find.Build(file.*section.records);
    for (const auto& record : file.*section.records) {
      to.ids.push_back(record.id);
      to.names.push_back(record.name.str());
    }
  });
}

const char* AspectName(const aspect_kind& kind, const int& number) {
  return number >= 0 && number < kAspectCount ? aspects::Find(kind, number)->name : nullptr;
}

int AspectNumber(const aspect_kind& kind, const std::string& name) {
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  for (int n = 0; n < kAspectCount; ++n) {
    const std::string known = AspectName(kind, n);
    if (std::equal(name.begin(), name.end(), known.begin(), known.end(), same)) return n;
  }
  return -1;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Count(const std::size_t& n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

}  // namespace tov
