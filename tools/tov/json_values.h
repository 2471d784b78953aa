#ifndef OSSIVAR_TOOLS_TOV_JSON_VALUES_H
#define OSSIVAR_TOOLS_TOV_JSON_VALUES_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

#include "loaded.h"
#include "model/pstr.h"

// Values of the JSON form taken back as the game stores them, each
// mistake a problem named by its JSON path.
namespace json_values {

using json = nlohmann::json;

std::string Key(const std::string& path, const std::string& key);
std::string Index(const std::string& path, const std::size_t& i);

class reader;

// An object with the fields of its shape, every other key being a mistake.
class fields {
 public:
  fields(reader& r, const json& j, const std::string& path, const nlohmann::ordered_json& shape);
  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }
  std::string At(const std::string& key) const { return Key(path_, key); }
  const nlohmann::ordered_json& Shape(const std::string& key) const { return shape_.at(key); }
  const json* Get(const std::string& key) const {
    if (!ok_) return nullptr;
    const auto found = j_.find(key);
    return found == j_.end() ? nullptr : &*found;
  }
  // Get, and a problem when it is missing.
  const json* Need(const std::string& key) const;

 private:
  reader& r_;
  const json& j_;
  const nlohmann::ordered_json& shape_;
  std::string path_;
  bool ok_ = true;
};

// Each reading takes a value, or the nullptr of a missing one, and the
// path to name in a problem; a missing value leaves the target as it is.
class reader {
 public:
  reader(tov::problems& problems, tov::problems& notes) : problems_(problems), notes_(notes) {}

  void Problem(const std::string& where, const std::string& what) { problems_.push_back({where, what}); }
  void Note(const std::string& where, const std::string& what) { notes_.push_back({where, what}); }

  // True when the value is a text the game can hold, even if too long for it.
  bool Text(const json* j, const std::string& path, const std::size_t& longest, std::string& out);

  // A text that cannot be taken is left empty, not at the record's default.
  template <typename T>
  void Text(const json* j, const std::string& path, pstr<T>& text) {
    std::string bytes;
    if (!Text(j, path, std::numeric_limits<T>::max(), bytes)) bytes.clear();
    const T n = static_cast<T>(std::min<std::size_t>(bytes.size(), std::numeric_limits<T>::max()));
    unsigned char* to = text.Reset(n);
    if (n > 0) std::memcpy(to, bytes.data(), n);
  }

  template <typename Number>
  bool Whole(const json* j, const std::string& path, Number& out) {
    if (!j) return false;
    const auto largest = std::numeric_limits<Number>::max();
    if (j->is_number_unsigned() && j->get<std::uint64_t>() <= largest) {
      out = static_cast<Number>(j->get<std::uint64_t>());
      return true;
    }
    if (j->is_number_integer()) {
      Problem(path, "must be between 0 and " + std::to_string(largest));
    } else {
      Problem(path, "must be a whole number");
    }
    return false;
  }

  void Bool(const json* j, const std::string& path, bool& out);
  // The playable flag counts any non-zero byte as set.
  void Flag(const json* j, const std::string& path, unsigned char& out);
  // Points (1.5), or {"raw": 384}, or both of them agreeing.
  void StatValue(const json* j, const std::string& path, const nlohmann::ordered_json& shape,
                 unsigned short& out);
  bool Points(const json& j, const std::string& path, unsigned short& out);
  // The number as stored: any number 0 to 255, or an aspect's name.
  void Aspect(const json* j, const std::string& path, const aspect_kind& kind, int& out);

 private:
  tov::problems& problems_;
  tov::problems& notes_;
};

}  // namespace json_values

#endif
