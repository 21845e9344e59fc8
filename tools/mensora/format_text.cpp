// Text output: aligned columns for people.
#include <algorithm>
#include <iomanip>

#include "format.h"
#include "numbers.h"

namespace mensora_tool {

namespace {

constexpr std::size_t kBarWidth = 40;

void WriteSource(std::ostream& out, const Sample& sample) {
  out << sample.source;
  if (!sample.column.empty()) {
    out << (sample.pooled.empty() ? ", column " : ", columns ") << sample.column;
  }
  out << ": " << sample.values.size() << (sample.values.size() == 1 ? " value" : " values");
  if (sample.missingSkipped > 0) out << " (" << sample.missingSkipped << " missing skipped)";
  out << '\n';
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string RightAligned(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

void WriteMembers(std::ostream& out, const Sample& sample, const std::vector<std::int32_t>& ids) {
  std::size_t width = 0;
  for (std::int32_t id : ids) width = std::max(width, sample.Name(id).size());
  for (std::int32_t id : ids) {
    out << "    " << Padded(sample.Name(id), width) << "  "
        << FormatDouble(sample.values[static_cast<std::size_t>(id)]) << '\n';
  }
}

// GVF and ADCM under the class table.
void WriteFit(std::ostream& out, const FitMeasures& fit) {
  if (!fit.defined) {
    out << "\nGVF and ADCM: not measured (memory ran out)\n";
    return;
  }
  const std::string gvf = FormatDouble(fit.gvf);
  const std::string adcm = FormatDouble(fit.adcm);
  const std::size_t width = std::max(gvf.size(), adcm.size());
  out << "\nGVF   " << Padded(gvf, width) << "  goodness of variance fit, 1 - SDCM / SDAM\n"
      << "ADCM  " << Padded(adcm, width) << "  absolute deviations around the class medians\n";
}

// 1st, 2nd, 3rd, 4th, ..., 11th, 12th, 13th, ..., 21st.
std::string Ordinal(std::int32_t k) {
  const char* suffix = "th";
  if (k % 100 < 11 || k % 100 > 13) {
    if (k % 10 == 1) suffix = "st";
    if (k % 10 == 2) suffix = "nd";
    if (k % 10 == 3) suffix = "rd";
  }
  return std::to_string(k) + suffix;
}

}  // namespace

void WriteSummaryText(std::ostream& out, const Sample& sample, const SummaryResult& result) {
  out << "Summary of ";
  WriteSource(out, sample);
  out << '\n';
  std::size_t width = 0;
  for (const Measure& m : result.measures) width = std::max(width, std::string(m.label).size());
  for (const Measure& m : result.measures) {
    out << "  " << Padded(m.label, width) << "  ";
    if (m.defined) {
      out << FormatDouble(m.value) << '\n';
    } else {
      out << "undefined (" << m.note << ")\n";
    }
  }
  if (result.everyStep > 0) {
    out << "\nEvery " << Ordinal(result.everyStep)
        << " sorted value (" << result.every.size() << "):\n";
    for (std::size_t i = 0; i < result.every.size(); ++i) {
      out << "  " << RightAligned(std::to_string(i * static_cast<std::size_t>(result.everyStep) + 1), 8)
          << "  " << FormatDouble(result.every[i]) << '\n';
    }
  }
}

void WriteClassifyText(std::ostream& out, const Sample& sample, const ClassifyResult& result,
                       bool members) {
  out << "Classes of ";
  WriteSource(out, sample);
  out << "Method " << result.method->name << " (" << result.member << ")";
  for (const Parameter& p : result.parameters) out << ", " << p.name << " " << ParameterText(p);
  out << '\n';
  if (result.windowed) {
    out << "Members limited to " << IntervalText(result.windowMin, result.windowMax, true) << '\n';
  }
  if (!result.choice.empty()) out << result.choice << '\n';
  out << (result.rounded ? "Round breaks" : "Breaks");
  for (std::size_t b = 0; b < result.breaks.size(); ++b) {
    out << (b == 0 ? " " : ", ") << FormatDouble(result.breaks[b]);
  }
  out << "\n\n";

  std::size_t largest = 0;
  std::size_t labelWidth = std::string("label").size();
  for (const ClassRow& row : result.classes) {
    largest = std::max(largest, row.ids.size());
    labelWidth = std::max(labelWidth, row.label.size());
  }
  const std::size_t countWidth = std::max<std::size_t>(5, std::to_string(largest).size());
  // Pooled columns: the members of each column, before the count of all.
  std::vector<std::size_t> pooledWidths;
  for (const std::string& column : sample.pooled) {
    std::size_t width = std::max<std::size_t>(column.size(), 5);
    for (const ClassRow& row : result.classes) {
      for (std::int64_t c : row.pooledCounts) width = std::max(width, std::to_string(c).size());
    }
    pooledWidths.push_back(width);
  }
  out << "class  " << Padded("label", labelWidth);
  for (std::size_t c = 0; c < sample.pooled.size(); ++c) {
    out << "  " << RightAligned(sample.pooled[c], pooledWidths[c]);
  }
  out << "  " << RightAligned("count", countWidth) << '\n';
  for (std::size_t s = 0; s < result.classes.size(); ++s) {
    const ClassRow& row = result.classes[s];
    std::size_t bar = 0;
    if (largest > 0) bar = (row.ids.size() * kBarWidth + largest / 2) / largest;
    if (bar == 0 && !row.ids.empty()) bar = 1;
    out << RightAligned(std::to_string(s + 1), 5) << "  " << Padded(row.label, labelWidth);
    for (std::size_t c = 0; c < row.pooledCounts.size(); ++c) {
      out << "  " << RightAligned(std::to_string(row.pooledCounts[c]), pooledWidths[c]);
    }
    out << "  " << RightAligned(std::to_string(row.ids.size()), countWidth) << "  "
        << std::string(bar, '#') << '\n';
  }
  if (result.unclassified > 0) {
    out << result.unclassified << (result.unclassified == 1 ? " value lies" : " values lie")
        << " in no class\n";
  }
  WriteFit(out, result.fit);
  if (!members) return;
  for (std::size_t s = 0; s < result.classes.size(); ++s) {
    const ClassRow& row = result.classes[s];
    out << "\nClass " << s + 1 << ", " << row.label << ": "
        << row.ids.size() << (row.ids.size() == 1 ? " member\n" : " members\n");
    WriteMembers(out, sample, row.ids);
  }
}

void WriteSelectText(std::ostream& out, const Sample& sample, const SelectResult& result,
                     bool members) {
  out << "Selection from ";
  WriteSource(out, sample);
  out << result.ids.size() << (result.ids.size() == 1 ? " value lies" : " values lie") << " in "
      << IntervalText(result.min, result.max, false) << '\n';
  if (members) WriteMembers(out, sample, result.ids);
}

}  // namespace mensora_tool
