#include "analyzer/companion_section.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer/html_report.h"
#include "analyzer/markup.h"
#include "analyzer/summary_formats.h"
#include "analyzer/svg_plot.h"
#include "ui/counted_text.h"

namespace analyzer {

namespace {

// Program, every server any cost or test names, kernel, other, unexplained:
// one colour each, the same in every bar.
std::vector<std::string> PartNames(const results::Companion& companion) {
  std::vector<std::string> names = {"program"};
  const auto add = [&](const auto& parts) {
    for (const auto& server : parts.servers) {
      if (std::find(names.begin() + 1, names.end(), server.first) == names.end()) names.push_back(server.first);
    }
  };
  for (const results::CompanionCost& cost : companion.costs) add(cost.parts);
  for (const results::CompanionTest& test : companion.tests) add(test.parts);
  names.insert(names.end(), {"kernel", "other", "unexplained"});
  return names;
}

// The part of `parts` called `name`; an absent server used nothing.
stats::Estimate PartOf(const results::PartsOf<stats::Estimate>& parts, const std::string& name) {
  if (name == "program") return parts.program;
  if (name == "kernel") return parts.kernel;
  if (name == "other") return parts.other;
  if (name == "unexplained") return parts.unexplained;
  for (const auto& server : parts.servers) {
    if (server.first == name) return server.second;
  }
  return {0, {}};
}

std::string Range(const stats::Interval& range) {
  return range.Defined() ? "[" + Figure(range.low) + ", " + Figure(range.high) + "]" : "-";
}

std::string WithRange(const stats::Estimate& figure) {
  return Figure(figure.value) + (figure.ci95.Defined() ? " " + Range(figure.ci95) : "");
}

std::string PartsChart(const results::Companion& companion, const std::vector<std::string>& parts) {
  const size_t count = companion.costs.size();
  // The first mode at the top.
  const auto rowOf = [count](size_t i) { return static_cast<double>(count - 1 - i); };
  std::vector<double> values, ends;
  for (const results::CompanionCost& cost : companion.costs) {
    double above = 0, below = 0;
    for (const std::string& part : parts) {
      const double v = PartOf(cost.parts, part).value;
      if (std::isfinite(v)) (v < 0 ? below : above) += v;
    }
    values.insert(values.end(), {below, above, cost.cost.value});
    ends.insert(ends.end(), {cost.cost.ci95.low, cost.cost.ci95.high});
  }
  SvgPlot plot("Where each mode's cost goes", "% of the whole machine", "", SvgPlot::ForValues(values, ends, true),
               SvgPlot::CategoryRange(count));
  std::vector<std::string> rowNames(count);
  for (size_t i = 0; i < count; ++i) {
    const results::CompanionCost& cost = companion.costs[i];
    const double y = rowOf(i);
    // Parts above zero stack to the right of it, parts below to the left.
    double above = 0, below = 0;
    for (size_t p = 0; p < parts.size(); ++p) {
      const stats::Estimate part = PartOf(cost.parts, parts[p]);
      if (!std::isfinite(part.value) || part.value == 0) continue;
      double& end = part.value < 0 ? below : above;
      const std::string tooltip = cost.mode + ", " + parts[p] + ": " + WithRange(part) + " %";
      plot.Box({end, end + part.value}, {y - 0.2, y + 0.2}, SeriesClass(p), tooltip, part.value < 0);
      end += part.value;
    }
    plot.ErrorBarAlongX(y, cost.cost.ci95.low, cost.cost.ci95.high);
    plot.Dot(cost.cost.value, y, "cost", cost.mode + ": cost " + WithRange(cost.cost) + " %, " + cost.verdict);
    rowNames[count - 1 - i] = cost.mode + " (" + EmitterCountText(cost.emitters) + ")";
  }
  plot.Vertical(0, "zero");
  plot.Rows(rowNames);
  plot.Legend(parts);
  return plot.Svg();
}

void PartHeadings(const std::vector<std::string>& parts, std::ostream& out) {
  for (const std::string& part : parts) out << "<th>" << Escaped(part) << " %</th>";
}

void PartCells(const results::PartsOf<stats::Estimate>& values, const std::vector<std::string>& parts, std::ostream& out) {
  for (const std::string& part : parts) {
    const stats::Estimate figure = PartOf(values, part);
    out << "<td";
    if (figure.ci95.Defined()) out << " title=\"95 % CI " << Range(figure.ci95) << "\"";
    out << ">" << Figure(figure.value) << "</td>";
  }
}

void CostTable(const results::Companion& companion, const std::vector<std::string>& parts, std::ostream& out) {
  out << "<div class=\"wide\"><table class=\"costs\">\n<thead><tr><th class=\"text\">Mode</th><th>Emitters</th>"
         "<th>Rounds</th><th>Cost %</th><th>Cost 95 % CI</th><th class=\"text\">Verdict</th><th>Per emitter %</th>"
         "<th>Per emitter 95 % CI</th><th>Emitters per 1 % of one processor</th><th>95 % CI</th>";
  out << "</tr></thead>\n<tbody>\n";
  for (const results::CompanionCost& cost : companion.costs) {
    out << "<tr><td class=\"text\">" << Escaped(cost.mode) << "</td><td>" << cost.emitters << "</td><td>" << cost.rounds
        << "</td><td>" << Figure(cost.cost.value) << "</td><td>" << Range(cost.cost.ci95) << "</td><td class=\"text "
        << VerdictClass(cost.verdict) << "\">" << Escaped(cost.verdict) << "</td><td>" << Figure(cost.perEmitter.ofMachine.value)
        << "</td><td>" << Range(cost.perEmitter.ofMachine.ci95) << "</td><td>"
        << Figure(cost.perEmitter.emittersPerPercentOfOneProcessor.value) << "</td><td>"
        << Range(cost.perEmitter.emittersPerPercentOfOneProcessor.ci95) << "</td></tr>\n";
  }
  out << "</tbody>\n</table></div>\n";
  // The parts in a table of their own: beside the figures above, a run
  // through a sound server would not fit a page's width.
  out << "<h3>The parts of each cost</h3>\n<div class=\"wide\"><table class=\"parts\">\n<thead><tr>"
         "<th class=\"text\">Mode</th><th>Emitters</th>";
  PartHeadings(parts, out);
  out << "</tr></thead>\n<tbody>\n";
  for (const results::CompanionCost& cost : companion.costs) {
    out << "<tr><td class=\"text\">" << Escaped(cost.mode) << "</td><td>" << cost.emitters << "</td>";
    PartCells(cost.parts, parts, out);
    out << "</tr>\n";
  }
  out << "</tbody>\n</table></div>\n";
}

void TestTable(const results::Companion& companion, const std::vector<std::string>& parts, std::ostream& out) {
  out << "<h3>Every test, in the order measured</h3>\n<div class=\"wide\"><table class=\"tests\">\n<thead><tr>"
         "<th>Round</th><th class=\"text\">Mode</th><th>Emitters</th><th>System %</th>";
  PartHeadings(parts, out);
  out << "</tr></thead>\n<tbody>\n";
  for (const results::CompanionTest& test : companion.tests) {
    out << "<tr><td>" << test.round << "</td><td class=\"text\">" << Escaped(test.mode) << "</td><td>" << test.emitters
        << "</td><td>" << Figure(test.system) << "</td>";
    PartCells(results::Transform<stats::Estimate>(test.parts, [](double v) { return stats::Estimate{v, {}}; }), parts, out);
    out << "</tr>\n";
  }
  out << "</tbody>\n</table></div>\n";
}

}  // namespace

void WriteCompanionSection(const results::Companion& companion, std::ostream& out) {
  const std::vector<std::string> parts = PartNames(companion);
  out << "<section class=\"companion\">\n<h2>Where the cost goes</h2>\n<p class=\"sub\">From "
      << Escaped(std::filesystem::path(companion.path).filename().string()) << ": " << companion.rounds
      << (companion.rounds == 1 ? " round" : " rounds") << " on " << companion.processors
      << (companion.processors == 1 ? " processor" : " processors")
      << "; percent of the whole machine. Each mode's cost is its test against the empty tests on either side of "
         "it; the dot is the cost with its 95 % interval, the bar its parts, lighter where a part is below zero "
         "(less than in the empty tests).</p>\n";
  if (!companion.costs.empty()) {
    out << PartsChart(companion, parts);
    CostTable(companion, parts, out);
  } else {
    out << "<p>No mode was measured against an empty test.</p>\n";
  }
  TestTable(companion, parts, out);
  if (companion.warnings.empty()) {
    out << "<p>The run left no warnings.</p>\n";
  } else {
    out << "<h3>Warnings</h3>\n<ul class=\"warnings\">\n";
    for (const std::string& warning : companion.warnings) out << "<li>" << Escaped(warning) << "</li>\n";
    out << "</ul>\n";
  }
  out << "</section>\n";
}

}  // namespace analyzer
