#include "json_values.h"

#include <cmath>
#include <cstdio>

namespace json_values {

namespace {

// Parsed UTF-8 back to the game's bytes: only U+0000 to U+00FF have one.
// The parser has checked the UTF-8 already.
bool ToBytes(const std::string& utf8, std::string& bytes, std::uint32_t& bad) {
  bytes.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    std::uint32_t code = extra > 0 ? c & (0x3F >> extra) : c;
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    i += 1 + extra;
    if (code > 0xFF) {
      bad = code;
      return false;
    }
    bytes += static_cast<char>(code);
  }
  return true;
}

}  // namespace

std::string Key(const std::string& path, const std::string& key) { return path + "." + key; }
std::string Index(const std::string& path, const std::size_t& i) {
  return path + "[" + std::to_string(i) + "]";
}

fields::fields(reader& r, const json& j, const std::string& path, const nlohmann::ordered_json& shape)
    : r_(r), j_(j), shape_(shape), path_(path) {
  if (!j.is_object()) {
    r.Problem(path, "must be an object");
    ok_ = false;
    return;
  }
  for (const auto& item : j.items()) {
    if (!shape.contains(item.key())) r.Problem(Key(path, item.key()), "unknown field");
  }
}

const json* fields::Need(const std::string& key) const {
  const json* value = Get(key);
  if (!value && ok_) r_.Problem(At(key), "required field is missing");
  return value;
}

bool reader::Text(const json* j, const std::string& path, const std::size_t& longest, std::string& out) {
  if (!j) return false;
  if (!j->is_string()) {
    Problem(path, "must be a string");
    return false;
  }
  std::uint32_t bad = 0;
  if (!ToBytes(j->get<std::string>(), out, bad)) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", bad);
    Problem(path, std::string("character ") + code +
                      " cannot be stored: the game's texts hold only U+0000 to U+00FF");
    return false;
  }
  if (out.size() > longest) {
    Problem(path, "is " + std::to_string(out.size()) + " characters long; at most " +
                      std::to_string(longest) + " fit");
  }
  return true;
}

void reader::Bool(const json* j, const std::string& path, bool& out) {
  if (!j) return;
  if (j->is_boolean()) {
    out = j->get<bool>();
  } else {
    Problem(path, "must be true or false");
  }
}

void reader::Flag(const json* j, const std::string& path, unsigned char& out) {
  if (!j) return;
  if (j->is_boolean()) {
    out = j->get<bool>() ? 1 : 0;
  } else if (j->is_number()) {
    Whole(j, path, out);
  } else {
    Problem(path, "must be true, false or a number from 0 to 255");
  }
}

void reader::StatValue(const json* j, const std::string& path, const nlohmann::ordered_json& shape,
                       unsigned short& out) {
  if (!j) return;
  if (j->is_number()) {
    Points(*j, path, out);
    return;
  }
  fields f(*this, *j, path, shape);
  if (!f.ok()) return;
  const json* raw = f.Get("raw");
  const json* points = f.Get("points");
  if (!raw && !points) return Problem(path, "needs \"raw\" or \"points\"");
  unsigned short from_raw = 0;
  unsigned short from_points = 0;
  const bool raw_ok = raw && Whole(raw, f.At("raw"), from_raw);
  const bool points_ok = points && Points(*points, f.At("points"), from_points);
  if (raw_ok && points_ok && from_raw != from_points) {
    Problem(path, "raw " + std::to_string(from_raw) + " and points " + points->dump() +
                      " disagree; give only the one you mean");
  }
  out = raw_ok ? from_raw : from_points;
}

bool reader::Points(const json& j, const std::string& path, unsigned short& out) {
  if (!j.is_number()) {
    Problem(path, "must be a number of points");
    return false;
  }
  const double scaled = j.get<double>() * 256.0;
  if (scaled < 0 || scaled > 65535) {
    Problem(path, "must be between 0 and 255.99609375 points");
    return false;
  }
  if (scaled != std::floor(scaled)) {
    const double below = std::floor(scaled) / 256.0;
    Problem(path, j.dump() + " points is not a whole number of 1/256 steps; the nearest are " +
                      json(below).dump() + " and " + json(below + 1 / 256.0).dump());
    return false;
  }
  out = static_cast<unsigned short>(scaled);
  return true;
}

void reader::Aspect(const json* j, const std::string& path, const aspect_kind& kind, int& out) {
  if (!j) return;
  if (j->is_number()) {
    unsigned char number = 0;
    if (Whole(j, path, number)) out = number;
    return;
  }
  const int number = j->is_string() ? tov::AspectNumber(kind, j->get<std::string>()) : -1;
  if (number >= 0) {
    out = number;
    return;
  }
  const bool virtue = kind == aspect_kind::kVirtue;
  std::string names;
  for (int n = 0; n < tov::kAspectCount; ++n) names += std::string(n ? ", " : "") + tov::AspectName(kind, n);
  Problem(path, std::string("is not a ") + (virtue ? "virtue" : "vice") + "; the " +
                    (virtue ? "virtues" : "vices") + " are " + names);
}

}  // namespace json_values
