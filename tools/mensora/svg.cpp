#include "svg.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "errors.h"
#include "format.h"

namespace mensora_tool {

namespace {

constexpr double kPlotLeft = 80;
constexpr double kPlotTop = 50;
constexpr double kPlotWidth = 600;
constexpr double kPlotHeight = 340;
constexpr double kLegendLeft = kPlotLeft + kPlotWidth + 30;
constexpr double kLegendRow = 18;
constexpr const char* kNoClassColour = "#bdbdbd";

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML 1.0 text.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
          out += ' ';
        } else {
          out += c;
        }
    }
  }
  return out;
}

// A short number for axis ticks (not an exact value).
std::string Short(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// Light yellow through teal to dark blue; class s of k gets the colour at
// (s + 0.5) / k along the ramp, so neighbouring classes stay distinct and the
// lightest class stays visible on white.
std::string PaletteColour(std::size_t s, std::size_t k) {
  static const double ramp[3][3] = {{255, 237, 160}, {65, 182, 196}, {37, 52, 148}};
  const double t = (static_cast<double>(s) + 0.5) / static_cast<double>(k);
  const double x = t * 2.0;
  const int i = x < 1.0 ? 0 : 1;
  const double f = x - i;
  char buffer[8];
  const auto channel = [&](int c) {
    return static_cast<int>(std::lround(ramp[i][c] + (ramp[i + 1][c] - ramp[i][c]) * f));
  };
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", channel(0), channel(1), channel(2));
  return buffer;
}

// A round step (1, 2 or 5 times a power of ten) near span / count.
double NiceStep(double span, int count) {
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double fraction = raw / power;
  if (fraction < 1.5) return power;
  if (fraction < 3.5) return 2 * power;
  if (fraction < 7.5) return 5 * power;
  return 10 * power;
}

}  // namespace

std::string HistogramSvg(const Sample& sample, const ClassifyResult& result) {
  const std::size_t k = result.classes.size();
  const std::size_t n = sample.values.size();
  std::vector<std::int64_t> classOf(n, -1);
  for (std::size_t s = 0; s < k; ++s) {
    for (std::int32_t id : result.classes[s].ids) classOf[static_cast<std::size_t>(id)] = static_cast<std::int64_t>(s);
  }

  // The range of the finite values.
  double lo = INFINITY;
  double hi = -INFINITY;
  std::size_t finite = 0;
  for (double v : sample.values) {
    if (!std::isfinite(v)) continue;
    ++finite;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  if (finite == 0) {
    lo = 0;
    hi = 1;
  } else if (!(hi > lo)) {
    // All values equal: a window around the one value.
    const double pad = std::max(std::fabs(lo) * 1e-3, 0.5);
    lo -= pad;
    hi += pad;
  }
  const double half = hi / 2 - lo / 2;  // finite even when hi - lo is not

  // Equal-width bins, about twice Sturges' number; each bar stacked by class.
  const int bins = std::clamp(
      2 * (static_cast<int>(std::ceil(std::log2(std::max<double>(1.0, static_cast<double>(finite))))) + 1),
      10, 60);
  std::vector<std::vector<std::int64_t>> stack(static_cast<std::size_t>(bins),
                                               std::vector<std::int64_t>(k + 1, 0));
  for (std::size_t i = 0; i < n; ++i) {
    const double v = sample.values[i];
    if (!std::isfinite(v)) continue;
    int b = static_cast<int>(std::floor((v / 2 - lo / 2) / half * bins));
    b = std::clamp(b, 0, bins - 1);
    const std::size_t slot = classOf[i] < 0 ? k : static_cast<std::size_t>(classOf[i]);
    ++stack[static_cast<std::size_t>(b)][slot];
  }
  std::int64_t tallest = 1;
  for (const auto& bar : stack) {
    std::int64_t total = 0;
    for (std::int64_t c : bar) total += c;
    tallest = std::max(tallest, total);
  }

  const auto xOf = [&](double v) { return kPlotLeft + (v / 2 - lo / 2) / half * kPlotWidth; };
  const auto yOf = [&](double count) {
    return kPlotTop + kPlotHeight - count / static_cast<double>(tallest) * kPlotHeight;
  };
  const double legendHeight = kPlotTop + kLegendRow * static_cast<double>(k + 3);
  const double height = std::max(kPlotTop + kPlotHeight + 80, legendHeight);
  // Legend lines: the labels of the classes (the text output has the exact breaks).
  std::vector<std::pair<std::string, std::string>> legend;  // colour, text
  for (std::size_t s = 0; s < k; ++s) {
    const ClassRow& row = result.classes[s];
    legend.emplace_back(PaletteColour(s, k),
                        row.label + "  (" + std::to_string(row.ids.size()) + ")");
  }
  if (result.unclassified > 0) {
    legend.emplace_back(kNoClassColour,
                        "in no class  (" + std::to_string(result.unclassified) + ")");
  }
  std::size_t longest = 16;
  for (const auto& line : legend) longest = std::max(longest, line.second.size());
  const double width = kLegendLeft + 30 + 7.5 * static_cast<double>(longest);

  std::ostringstream svg;
  svg << R"(<?xml version="1.0" encoding="UTF-8"?>)" << '\n'
      << R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" << width << R"(" height=")" << height
      << R"(" viewBox="0 0 )" << width << ' ' << height << R"(" font-family="sans-serif" font-size="12">)"
      << '\n'
      << R"(<rect width="100%" height="100%" fill="white"/>)" << '\n';
  std::string title = sample.source;
  if (!sample.column.empty()) {
    title += (sample.pooled.empty() ? ", column " : ", columns ") + sample.column;
  }
  title += ": method " + std::string(result.method->name);
  for (const Parameter& p : result.parameters) {
    title += ", " + p.name + " " + (p.values.size() == 1 ? Short(p.values[0]) : ParameterText(p));
  }
  svg << R"(<text x=")" << kPlotLeft << R"(" y="24" font-size="15" font-weight="bold">)"
      << Escape(title) << "</text>\n";

  // Bars.
  const double binWidth = kPlotWidth / bins;
  for (int b = 0; b < bins; ++b) {
    double base = 0;
    for (std::size_t slot = 0; slot <= k; ++slot) {
      const std::int64_t count = stack[static_cast<std::size_t>(b)][slot];
      if (count == 0) continue;
      const double top = yOf(base + static_cast<double>(count));
      svg << R"(<rect x=")" << kPlotLeft + b * binWidth << R"(" y=")" << top << R"(" width=")"
          << binWidth << R"(" height=")" << yOf(base) - top << R"(" fill=")"
          << (slot == k ? kNoClassColour : PaletteColour(slot, k))
          << R"(" stroke="white" stroke-width="0.5"/>)" << '\n';
      base += static_cast<double>(count);
    }
  }

  // Axes, ticks and labels.
  const double axisY = kPlotTop + kPlotHeight;
  svg << R"(<line x1=")" << kPlotLeft << R"(" y1=")" << axisY << R"(" x2=")" << kPlotLeft + kPlotWidth
      << R"(" y2=")" << axisY << R"(" stroke="black"/>)" << '\n'
      << R"(<line x1=")" << kPlotLeft << R"(" y1=")" << kPlotTop << R"(" x2=")" << kPlotLeft
      << R"(" y2=")" << axisY << R"(" stroke="black"/>)" << '\n';
  if (std::isfinite(hi - lo)) {
    const double step = NiceStep(hi - lo, 6);
    for (double t = std::ceil(lo / step) * step; t <= hi + step * 1e-9; t += step) {
      const double x = xOf(t);
      svg << R"(<line x1=")" << x << R"(" y1=")" << axisY << R"(" x2=")" << x << R"(" y2=")"
          << axisY + 5 << R"(" stroke="black"/>)" << '\n'
          << R"(<text x=")" << x << R"(" y=")" << axisY + 18 << R"(" text-anchor="middle">)"
          << Short(std::fabs(t) < step * 1e-9 ? 0.0 : t) << "</text>\n";
    }
  }
  const double countStep = std::max(1.0, NiceStep(static_cast<double>(tallest), 5));
  for (double c = 0; c <= static_cast<double>(tallest); c += countStep) {
    const double y = yOf(c);
    svg << R"(<line x1=")" << kPlotLeft - 5 << R"(" y1=")" << y << R"(" x2=")" << kPlotLeft
        << R"(" y2=")" << y << R"(" stroke="black"/>)" << '\n'
        << R"(<text x=")" << kPlotLeft - 8 << R"(" y=")" << y + 4 << R"(" text-anchor="end">)"
        << Short(c) << "</text>\n";
  }
  svg << R"(<text x=")" << kPlotLeft + kPlotWidth / 2 << R"(" y=")" << axisY + 42
      << R"(" text-anchor="middle">)" << Escape(sample.column.empty() ? "value" : sample.column)
      << "</text>\n"
      << R"svg(<text transform="translate(24 )svg" << kPlotTop + kPlotHeight / 2
      << R"svg() rotate(-90)" text-anchor="middle">number of values per bin (width )svg"
      << Short((hi - lo) / bins) << ")</text>\n";

  // Class breaks inside the drawn range.
  for (double b : result.breaks) {
    if (!(b >= lo && b <= hi)) continue;
    const double x = xOf(b);
    svg << R"(<line x1=")" << x << R"(" y1=")" << kPlotTop - 6 << R"(" x2=")" << x << R"(" y2=")"
        << axisY << R"(" stroke="#d7301f" stroke-width="1.5" stroke-dasharray="5,3"/>)" << '\n';
  }

  // Legend.
  double y = kPlotTop;
  svg << R"(<text x=")" << kLegendLeft << R"(" y=")" << y << R"(" font-weight="bold">classes (count)</text>)"
      << '\n';
  for (const auto& [colour, text] : legend) {
    y += kLegendRow;
    svg << R"(<rect x=")" << kLegendLeft << R"(" y=")" << y - 11 << R"(" width="14" height="12" fill=")"
        << colour << R"(" stroke="#555" stroke-width="0.5"/>)" << '\n'
        << R"(<text x=")" << kLegendLeft + 20 << R"(" y=")" << y << R"(">)" << Escape(text) << "</text>\n";
  }
  y += kLegendRow;
  svg << R"(<line x1=")" << kLegendLeft << R"(" y1=")" << y - 5 << R"(" x2=")" << kLegendLeft + 14
      << R"(" y2=")" << y - 5 << R"(" stroke="#d7301f" stroke-width="1.5" stroke-dasharray="5,3"/>)"
      << '\n'
      << R"(<text x=")" << kLegendLeft + 20 << R"(" y=")" << y << R"(">class break</text>)" << '\n';
  if (finite < n) {
    svg << R"(<text x=")" << kPlotLeft << R"(" y=")" << axisY + 62 << R"(" fill="#555">)"
        << n - finite << " values not finite, not drawn</text>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

void WriteHistogramSvg(const std::string& path, const Sample& sample,
                       const ClassifyResult& result) {
  const std::string document = HistogramSvg(sample, result);
  std::ofstream file(path, std::ios::binary);
  if (file) file << document;
  if (file) file.flush();
  if (!file) {
    throw ToolError(ExitCode::kCannotWrite,
                    "cannot write " + path + ": " + std::strerror(errno));
  }
}

}  // namespace mensora_tool
