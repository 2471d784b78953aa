#include "arena_report.h"

#include <cstdio>
#include <sstream>

namespace arena_report {

namespace {

using arena::party_figures;

const char* const kPrimaryNames[arena::kPrimaries] = {"strength", "wisdom", "agility"};
const char* const kPrimaryLabels[arena::kPrimaries] = {"STR", "WIS", "AGI"};

double Share(const std::uint64_t& part, const std::uint64_t& whole) {
  return whole == 0 ? 0 : static_cast<double>(part) / static_cast<double>(whole);
}

std::string Format(const char* pattern, const double& a, const double& b = 0, const double& c = 0) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

std::string Cut(std::string text, const std::size_t& width) {
  if (text.size() > width) text = text.substr(0, width - 3) + "...";
  return text + std::string(width - text.size(), ' ');
}

std::string PartyRow(const party_figures& f) {
  const std::array<double, 2> band = arena::Interval(f.wins, f.battles);
  return Format("  %3.0f  ", static_cast<double>(f.position)) + Cut(f.name, 18) +
         Format("%5.1f%%  %5.1f%%", 100 * f.draw_share, 100 * Share(f.wins, f.battles)) +
         Format("  %5.1f%% - %5.1f%%", 100 * band[0], 100 * band[1]) +
         Format("  %6.1f  %6.2f", Share(f.rounds, f.battles), Share(f.allies_standing, f.battles)) +
         Format("  %6.1f\n", Share(f.growth, f.battles) / 256);
}

std::string StepRow(const std::size_t& number, const arena::campaign_step& step) {
  std::string row = Format("  %6.0f  %5.1f%%", static_cast<double>(number), 100 * Share(step.wins, step.battles));
  for (std::size_t s = 0; s < arena::kPrimaries; ++s) {
    row += Format("  %3.0f (%3.0f-%3.0f)", arena::Percentile(step.points[s], 0.5),
                  arena::Percentile(step.points[s], 0.1), arena::Percentile(step.points[s], 0.9));
  }
  return row + "\n";
}

}  // namespace

std::string Table(const context& run) {
  const arena::options& how = *run.how;
  const arena::results& found = *run.found;
  std::ostringstream out;
  out << "tov arena \"" << how.path << "\": seed " << how.seed << ", " << run.jobs
      << (run.jobs == 1 ? " job" : " jobs") << ", policy " << arena::PolicyName(how.plan) << "\n";
  if (how.campaign > 0) {
    out << "The player's party \"" << run.player_party << "\" in " << how.battles << " campaigns of "
        << how.campaign << " battles";
  } else {
    out << "The player's party \"" << run.player_party << "\" against each enemy party, " << how.battles
        << " battles each";
  }
  out << ", at most " << how.max_rounds << " rounds a battle\n";
  if (found.partial) out << "PARTIAL: stopped after " << found.done << " of " << found.planned << " battles\n";
  out << "\n  pos  enemy party        drawn     won  95% interval     rounds  allies  growth\n";
  for (const party_figures& f : found.parties) out << PartyRow(f);
  out << "\n  won: the player's party's share of the battles; rounds, allies (standing\n"
         "  at the end) and growth (points of primary stats the party gained) are\n"
         "  means per battle.\n";
  if (how.campaign > 0) {
    out << "\nThe player character \"" << run.player_character
        << "\" after each battle: median (10% - 90%) whole points\n"
        << "  battle     won  " << kPrimaryLabels[0] << "            " << kPrimaryLabels[1] << "            "
        << kPrimaryLabels[2] << "\n";
    for (std::size_t b = 0; b < found.campaign.size(); ++b) out << StepRow(b + 1, found.campaign[b]);
  }
  const double per_second = Share(found.done, 1) / (found.seconds > 0 ? found.seconds : 1);
  out << "\n"
      << found.done << " battles in " << Format("%.2f", found.seconds) << " s: "
      << Format("%.0f", per_second) << " a second, " << Format("%.0f", per_second / run.jobs) << " per job\n";
  return out.str();
}

tov::problems Warnings(const context& run) {
  tov::problems found;
  for (std::size_t i = 0; i < run.found->parties.size(); ++i) {
    const party_figures& f = run.found->parties[i];
    if (f.battles == 0) continue;
    const std::string party = "enemy party at position " + std::to_string(f.position);
    const std::string of = std::to_string(f.battles) + (f.battles == 1 ? " battle" : " battles");
    if (f.wins == 0) found.push_back({run.places[i], party + " is never beaten by the player's party in " + of});
    if (f.one_round_wins == f.battles) {
      found.push_back({run.places[i], party + " is beaten in a single round in every one of " + of});
    }
    if (f.unfinished > 0) {
      found.push_back({run.places[i], party + ": " + std::to_string(f.unfinished) + " of " + of +
                                          " ran past the limit of " + std::to_string(run.how->max_rounds) +
                                          " rounds, won by neither side"});
    }
  }
  return found;
}

nlohmann::json Json(const context& run) {
  const arena::options& how = *run.how;
  const arena::results& found = *run.found;
  nlohmann::json out = {{"file", how.path},
                        {"seed", how.seed},
                        {"jobs", run.jobs},
                        {"battles", how.battles},
                        {"max_rounds", how.max_rounds},
                        {"policy", arena::PolicyName(how.plan)},
                        {"player_party", run.player_party},
                        {"partial", found.partial},
                        {"battles_done", found.done},
                        {"battles_planned", found.planned},
                        {"seconds", found.seconds}};
  nlohmann::json parties = nlohmann::json::array();
  for (const party_figures& f : found.parties) {
    const std::array<double, 2> band = arena::Interval(f.wins, f.battles);
    parties.push_back({{"position", f.position},
                       {"name", f.name},
                       {"draw_share", f.draw_share},
                       {"battles", f.battles},
                       {"wins", f.wins},
                       {"losses", f.losses},
                       {"unfinished", f.unfinished},
                       {"win_rate", Share(f.wins, f.battles)},
                       {"interval", {band[0], band[1]}},
                       {"mean_rounds", Share(f.rounds, f.battles)},
                       {"mean_allies_standing", Share(f.allies_standing, f.battles)},
                       {"mean_growth", Share(f.growth, f.battles) / 256}});
  }
  out["parties"] = parties;
  if (how.campaign > 0) {
    out["campaign_battles"] = how.campaign;
    out["player_character"] = run.player_character;
    nlohmann::json steps = nlohmann::json::array();
    for (std::size_t b = 0; b < found.campaign.size(); ++b) {
      const arena::campaign_step& step = found.campaign[b];
      nlohmann::json one = {{"battle", b + 1}, {"battles", step.battles}, {"win_rate", Share(step.wins, step.battles)}};
      for (std::size_t s = 0; s < arena::kPrimaries; ++s) {
        one[kPrimaryNames[s]] = {{"median", arena::Percentile(step.points[s], 0.5)},
                                 {"p10", arena::Percentile(step.points[s], 0.1)},
                                 {"p90", arena::Percentile(step.points[s], 0.9)}};
      }
      steps.push_back(one);
    }
    out["campaign"] = steps;
  }
  nlohmann::json warnings = nlohmann::json::array();
  for (const tov::problem& w : Warnings(run)) warnings.push_back({{"where", w.where}, {"what", w.what}});
  out["warnings"] = warnings;
  return out;
}

}  // namespace arena_report
