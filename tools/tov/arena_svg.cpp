// The arena's chart, drawn as plain SVG text.
#include <cstdio>
#include <sstream>

#include "arena_report.h"

namespace arena_report {

namespace {

constexpr int kWidth = 820;
constexpr int kLeft = 200;
constexpr int kPlot = 500;
constexpr int kBar = 24;
constexpr int kChartHeight = 240;
const char* const kColours[arena::kPrimaries] = {"#c0392b", "#2471a3", "#229954"};
const char* const kLabels[arena::kPrimaries] = {"Strength", "Wisdom", "Agility"};

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control bytes are not allowed in XML at all.
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
        break;
    }
  }
  return out;
}

std::string Number(const double& value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Text(const double& x, const double& y, const std::string& words, const char* anchor = "start") {
  return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\">" +
         Escaped(words) + "</text>\n";
}

std::string Line(const double& x1, const double& y1, const double& x2, const double& y2, const char* colour) {
  return "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) + "\" y2=\"" +
         Number(y2) + "\" stroke=\"" + colour + "\"/>\n";
}

// Win rate bars with their intervals, one row per enemy party.
std::string WinRates(const context& run, const int& top, int& bottom) {
  std::ostringstream out;
  out << Text(10, top, "Win rate of the player's party, with its 95% interval");
  int y = top + 20;
  for (const auto& f : run.found->parties) {
    const double rate = f.battles == 0 ? 0 : static_cast<double>(f.wins) / static_cast<double>(f.battles);
    const std::array<double, 2> band = arena::Interval(f.wins, f.battles);
    out << Text(kLeft - 8, y + 16, std::to_string(f.position) + " " + f.name, "end");
    out << "<rect x=\"" << kLeft << "\" y=\"" << y + 4 << "\" width=\"" << Number(rate * kPlot) << "\" height=\""
        << kBar - 8 << "\" fill=\"#5d6d7e\"/>\n";
    out << Line(kLeft + band[0] * kPlot, y + kBar / 2, kLeft + band[1] * kPlot, y + kBar / 2, "#000");
    out << Line(kLeft + band[0] * kPlot, y + 4, kLeft + band[0] * kPlot, y + kBar - 4, "#000");
    out << Line(kLeft + band[1] * kPlot, y + 4, kLeft + band[1] * kPlot, y + kBar - 4, "#000");
    out << Text(kLeft + kPlot + 8, y + 16, Number(100 * rate) + "%");
    y += kBar;
  }
  out << Line(kLeft, y + 4, kLeft + kPlot, y + 4, "#000");
  for (int tick = 0; tick <= 100; tick += 25) {
    out << Text(kLeft + tick * kPlot / 100.0, y + 20, std::to_string(tick) + "%", "middle");
  }
  bottom = y + 30;
  return out.str();
}

// Median curves of the primaries with their 10-90% bands, by battle number.
std::string Growth(const context& run, const int& top, int& bottom) {
  const std::vector<arena::campaign_step>& steps = run.found->campaign;
  int most = 1;
  for (const auto& step : steps) {
    for (const auto& points : step.points) most = std::max(most, arena::Percentile(points, 0.9));
  }
  const double base = top + 20 + kChartHeight;
  const double dx = steps.size() > 1 ? static_cast<double>(kPlot) / static_cast<double>(steps.size() - 1) : 0;
  const auto x = [dx](const std::size_t& b) { return kLeft + dx * static_cast<double>(b); };
  const auto y = [base, most](const int& points) { return base - kChartHeight * points / static_cast<double>(most); };
  std::ostringstream out;
  out << Text(10, top, "The player character \"" + run.player_character +
                           "\" after each battle: median and 10-90% band");
  for (std::size_t s = 0; s < arena::kPrimaries; ++s) {
    std::string band;
    std::string median;
    for (std::size_t b = 0; b < steps.size(); ++b) {
      band += Number(x(b)) + "," + Number(y(arena::Percentile(steps[b].points[s], 0.9))) + " ";
      median += Number(x(b)) + "," + Number(y(arena::Percentile(steps[b].points[s], 0.5))) + " ";
    }
    for (std::size_t b = steps.size(); b-- > 0;) {
      band += Number(x(b)) + "," + Number(y(arena::Percentile(steps[b].points[s], 0.1))) + " ";
    }
    out << "<polygon points=\"" << band << "\" fill=\"" << kColours[s] << "\" fill-opacity=\"0.2\"/>\n";
    out << "<polyline points=\"" << median << "\" fill=\"none\" stroke=\"" << kColours[s]
        << "\" stroke-width=\"2\"/>\n";
    out << "<text x=\"" << kLeft + kPlot + 8 << "\" y=\"" << top + 40 + 18 * static_cast<int>(s) << "\" fill=\""
        << kColours[s] << "\">" << kLabels[s] << "</text>\n";
  }
  out << Line(kLeft, base, kLeft + kPlot, base, "#000") << Line(kLeft, base, kLeft, base - kChartHeight, "#000");
  out << Text(kLeft - 8, base, "0", "end") << Text(kLeft - 8, base - kChartHeight + 10, std::to_string(most), "end");
  out << Text(kLeft, base + 18, "battle 1", "middle")
      << Text(kLeft + kPlot, base + 18, "battle " + std::to_string(steps.size()), "middle");
  bottom = static_cast<int>(base) + 40;
  return out.str();
}

}  // namespace

std::string Svg(const context& run) {
  int bottom = 0;
  std::string body = Text(10, 24, "tov arena \"" + run.how->path + "\", seed " + std::to_string(run.how->seed) +
                                      ", policy " + arena::PolicyName(run.how->plan) +
                                      (run.found->partial ? " (partial)" : ""));
  body += WinRates(run, 56, bottom);
  if (run.how->campaign > 0) body += Growth(run, bottom + 30, bottom);
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << bottom + 10
      << "\" viewBox=\"0 0 " << kWidth << " " << bottom + 10 << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n"
      << body << "</svg>\n";
  return out.str();
}

}  // namespace arena_report
