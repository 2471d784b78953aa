#include <charconv>

#include "arena.h"

namespace arena {

namespace {

constexpr policy kPolicies[] = {policy::kRandom, policy::kWeakest, policy::kDefend};

// A whole number from 1 to `most`, all of `text`.
bool Number(const std::string& text, const std::uint64_t& most, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty() && value >= 1 &&
         value <= most;
}

}  // namespace

const char* PolicyName(const policy& p) {
  switch (p) {
    case policy::kWeakest:
      return "weakest";
    case policy::kDefend:
      return "defend";
    case policy::kRandom:
      break;
  }
  return "random";
}

std::string Parse(const std::vector<std::string>& args, options& into) {
  // Beyond these a run would not end in a day anyway; the limits keep
  // products of counts far from overflowing.
  constexpr std::uint64_t kMostBattles = 1'000'000'000;
  constexpr std::uint64_t kMostJobs = 1024;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      into.json = true;
      continue;
    }
    if (a.empty() || a[0] != '-') {
      if (!into.path.empty()) return "arena takes one data file";
      into.path = a;
      continue;
    }
    const bool known = a == "--battles" || a == "--max-rounds" || a == "--seed" || a == "--jobs" ||
                       a == "--policy" || a == "--campaign" || a == "--svg";
    if (!known) return "unknown option " + a;
    if (i + 1 == args.size()) return a + " needs a value";
    const std::string& value = args[++i];
    std::uint64_t n = 0;
    if (a == "--policy") {
      bool found = false;
      for (const policy& p : kPolicies) {
        if (value == PolicyName(p)) {
          into.plan = p;
          found = true;
        }
      }
      if (!found) return "--policy is random, weakest or defend, not \"" + value + "\"";
    } else if (a == "--svg") {
      into.svg = value;
    } else if (a == "--seed") {
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), into.seed);
      if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
        return "--seed takes a whole number from 0, not \"" + value + "\"";
      }
    } else if (!Number(value, a == "--jobs" ? kMostJobs : kMostBattles, n)) {
      return a + " takes a whole number from 1 to " +
             std::to_string(a == "--jobs" ? kMostJobs : kMostBattles) + ", not \"" + value + "\"";
    } else if (a == "--battles") {
      into.battles = n;
    } else if (a == "--max-rounds") {
      into.max_rounds = n;
    } else if (a == "--jobs") {
      into.jobs = static_cast<unsigned>(n);
    } else {
      into.campaign = n;
    }
  }
  if (into.path.empty()) return "arena needs a data file";
  if (into.campaign > 0 && into.battles * into.campaign > kMostBattles) {
    return "--battles times --campaign is at most " + std::to_string(kMostBattles);
  }
  return "";
}

}  // namespace arena
