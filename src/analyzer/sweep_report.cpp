#include "analyzer/sweep_report.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analyzer/html_report.h"
#include "analyzer/markup.h"
#include "analyzer/measuring_method.h"
#include "analyzer/summary_formats.h"
#include "analyzer/sweep_summary.h"
#include "analyzer/svg_plot.h"
#include "ui/counted_text.h"

namespace analyzer {

namespace {

// Charts label configurations by number; the legend and tables say which is
// which. Where the outputs differ, the legend names each one's output too.
std::string Numbered(const results::Sweep& sweep, size_t index) {
  const results::SweepConfiguration& c = sweep.configurations[index];
  bool severalOutputs = false;
  for (const results::SweepConfiguration& other : sweep.configurations) severalOutputs |= other.output != c.output;
  const std::string name = severalOutputs && !c.output.empty() ? c.output + " " + c.name : c.name;
  return std::to_string(index + 1) + ": " + name;
}

std::string Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string joined;
  for (const auto& [key, value] : pairs) joined += (joined.empty() ? "" : ", ") + key + "=" + value;
  return joined.empty() ? "-" : joined;
}

std::string Or(const std::string& text, const char* otherwise) { return text.empty() ? otherwise : text; }

void Facts(const results::Sweep& sweep, std::ostream& out) {
  std::string rounds = std::to_string(sweep.rounds);
  if (sweep.roundsAsked != 0 && sweep.roundsAsked != sweep.rounds) rounds += " of " + std::to_string(sweep.roundsAsked);
  if (sweep.interrupted) rounds += " (interrupted)";
  std::string counts;
  for (const uint32_t count : sweep.emitterCounts) counts += (counts.empty() ? "" : ", ") + std::to_string(count);
  const std::pair<const char*, std::string> facts[] = {
      {"Back end", Or(sweep.backEnd, "-")},
      {"Device", Or(sweep.device, "-")},
      {"Mode", Or(sweep.mode, "-")},
      {"Seconds per test", Fixed(sweep.seconds, std::isfinite(sweep.seconds) && sweep.seconds == std::floor(sweep.seconds) ? 0 : 1)},
      {"Rounds", rounds},
      {"Measuring method", MeasuringMethodName(sweep.measuringMethod)},
      {"Processors", sweep.processors == 0 ? "-" : std::to_string(sweep.processors)},
      {"Emitter counts", Or(counts, "-")},
      {"Started", Or(sweep.started, "-")},
      {"Program version", Or(sweep.programVersion, "-")},
  };
  out << "<dl class=\"facts\">";
  for (const auto& [name, value] : facts) out << "<dt>" << name << "</dt><dd>" << Escaped(value) << "</dd>";
  out << "</dl>\n";
}

std::string CostChart(const results::Sweep& sweep) {
  double most = 1;
  std::vector<double> values, ends;
  for (const results::SweepConfiguration& c : sweep.configurations) {
    for (const results::SweepPoint& p : c.points) {
      most = std::max(most, static_cast<double>(p.emitters));
      values.push_back(p.cost.value);
      ends.insert(ends.end(), {p.cost.ci95.low, p.cost.ci95.high});
    }
  }
  SvgPlot plot("Cost above the empty tests against emitters, with 95 % intervals", "emitters",
               "% of the whole machine", {0, most * 1.05}, SvgPlot::ForValues(values, ends, true));
  std::vector<std::string> names;
  for (size_t i = 0; i < sweep.configurations.size(); ++i) {
    const results::SweepConfiguration& c = sweep.configurations[i];
    std::vector<double> xs, ys, lows, highs;
    for (const results::SweepPoint& p : c.points) {
      xs.push_back(p.emitters);
      ys.push_back(p.cost.value);
      lows.push_back(p.cost.ci95.low);
      highs.push_back(p.cost.ci95.high);
    }
    plot.Band(xs, lows, highs, SeriesClass(i));
    plot.Line(xs, ys, SeriesClass(i));
    for (const results::SweepPoint& p : c.points) {
      plot.Dot(p.emitters, p.cost.value, SeriesClass(i),
               c.name + ", " + EmitterCountText(p.emitters) + ": " + Figure(p.cost.value) + " % " +
                   FixedRange(p.cost.ci95, 3));
    }
    names.push_back(Numbered(sweep, i));
  }
  plot.Horizontal(0, "zero", "");
  plot.Legend(names);
  return plot.Svg();
}

std::string PerEmitterChart(const results::Sweep& sweep) {
  std::vector<double> values, ends;
  for (const results::SweepConfiguration& c : sweep.configurations) {
    const stats::Estimate& f = c.perEmitter.ofOneProcessor;
    values.push_back(f.value);
    ends.insert(ends.end(), {f.ci95.low, f.ci95.high});
  }
  SvgPlot plot("Cost of one emitter, with 95 % intervals", "configuration", "% of one processor",
               SvgPlot::CategoryRange(sweep.configurations.size()), SvgPlot::ForValues(values, ends, true));
  std::vector<std::string> numbers, names;
  for (size_t i = 0; i < sweep.configurations.size(); ++i) {
    const results::SweepConfiguration& c = sweep.configurations[i];
    const stats::Estimate& f = c.perEmitter.ofOneProcessor;
    const double x = static_cast<double>(i);
    plot.Bar(x, 0.6, f.value, SeriesClass(i),
             c.name + ": " + Fixed(f.value, kPerEmitterDecimals) + " % " + FixedRange(f.ci95, kPerEmitterDecimals));
    if (f.ci95.Defined()) plot.ErrorBar(x, f.ci95.low, f.ci95.high);
    numbers.push_back(std::to_string(i + 1));
    names.push_back(Numbered(sweep, i));
  }
  plot.Horizontal(0, "zero", "");
  plot.Categories(numbers);
  plot.Legend(names);
  return plot.Svg();
}

// A figure with its interval under it, in one cell: two columns each would
// not fit a page's width.
void Cell(const stats::Estimate& f, int decimals, std::ostream& out) {
  out << "<td>" << Fixed(f.value, decimals) << "<br/><span class=\"ci\">" << FixedRange(f.ci95, decimals)
      << "</span></td>";
}

void ConfigurationTable(const results::Sweep& sweep, std::ostream& out) {
  out << "<div class=\"wide\"><table class=\"configurations\">\n<thead><tr><th>#</th><th class=\"text\">Configuration"
         "</th><th class=\"text\">Settings</th><th class=\"text\">Output</th><th class=\"text\">Effective</th>"
         "<th class=\"text\">Differences</th><th>Per emitter, % of one processor [95 % CI]</th>"
         "<th>Per emitter, % of the machine [95 % CI]</th><th>Emitters per 1 % of one processor [95 % CI]</th>"
         "<th>Ratio to the first [95 % CI]</th></tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < sweep.configurations.size(); ++i) {
    const results::SweepConfiguration& c = sweep.configurations[i];
    std::string differences;
    for (const std::string& d : c.differences) differences += (differences.empty() ? "" : "; ") + d;
    out << "<tr><td>" << i + 1 << "</td><td class=\"text\">" << Escaped(c.name) << "</td><td class=\"text\">"
        << Escaped(Pairs(c.settings)) << "</td><td class=\"text\">" << Escaped(Or(c.output, "chosen by OpenAL Soft"))
        << "</td><td class=\"text\">" << Escaped(Pairs(c.effective)) << "</td><td class=\"text"
        << (c.differences.empty() ? "" : " verdict-measurable") << "\">" << Escaped(Or(differences, "none")) << "</td>";
    Cell(c.perEmitter.ofOneProcessor, kPerEmitterDecimals, out);
    Cell(c.perEmitter.ofMachine, kPerEmitterDecimals, out);
    Cell(c.perEmitter.emittersPerPercentOfOneProcessor, 1, out);
    Cell(c.ratioToFirst, 2, out);
    out << "</tr>\n";
  }
  out << "</tbody>\n</table></div>\n";
}

void PointTable(const results::Sweep& sweep, std::ostream& out) {
  out << "<h3>Every point</h3>\n<div class=\"wide\"><table class=\"points\">\n<thead><tr><th>#</th>"
         "<th class=\"text\">Configuration</th><th>Emitters</th><th>Rounds</th><th>Cost % [95 % CI]</th>"
         "<th>Program %</th><th>Servers %</th><th>Kernel %</th><th>Other %</th><th>Unexplained %</th>"
         "<th class=\"text\">Results files</th></tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < sweep.configurations.size(); ++i) {
    const results::SweepConfiguration& c = sweep.configurations[i];
    for (const results::SweepPoint& p : c.points) {
      // One file a line.
      std::string files;
      for (const std::string& f : p.resultsFiles) files += (files.empty() ? "" : "<br/>") + Escaped(f);
      out << "<tr><td>" << i + 1 << "</td><td class=\"text\">" << Escaped(c.name) << "</td><td>" << p.emitters
          << "</td><td>" << p.rounds << "</td><td>" << Figure(p.cost.value) << "<br/><span class=\"ci\">"
          << FixedRange(p.cost.ci95, 3) << "</span></td>";
      const double servers = results::ServersTogether(p.parts, [](double v) { return v; });
      for (const double part : {p.parts.program, servers, p.parts.kernel, p.parts.other, p.parts.unexplained}) {
        out << "<td>" << Figure(part) << "</td>";
      }
      out << "<td class=\"text\">" << Or(files, "-") << "</td></tr>\n";
    }
  }
  out << "</tbody>\n</table></div>\n";
}

}  // namespace

void WriteSweepReport(const results::Sweep& sweep, std::ostream& out) {
  BeginPage(out, "Korvanta 3RUzevo sweep");
  out << "<h1>Korvanta 3RUzevo sweep</h1>\n<p class=\"sub\">" << sweep.configurations.size()
      << (sweep.configurations.size() == 1 ? " configuration" : " configurations") << " of OpenAL Soft</p>\n";
  Facts(sweep, out);
  if (sweep.configurations.empty()) {
    out << "<section>\n<p>The sweep holds no configuration.</p>\n</section>\n";
  } else {
    out << "<section>\n<h2>Cost against emitters</h2>\n" << CostChart(sweep) << "</section>\n";
    out << "<section>\n<h2>Cost of one emitter</h2>\n" << PerEmitterChart(sweep) << "</section>\n";
    out << "<section>\n<h2>Configurations</h2>\n";
    ConfigurationTable(sweep, out);
    PointTable(sweep, out);
    out << "</section>\n";
  }
  if (!sweep.warnings.empty()) {
    out << "<section>\n<h2>Warnings of the runs</h2>\n<ul class=\"warnings\">\n";
    for (const std::string& warning : sweep.warnings) out << "<li>" << Escaped(warning) << "</li>\n";
    out << "</ul>\n</section>\n";
  }
  EndPage(out, "Cost: each test's share of the machine above the empty tests beside it, across the rounds, with "
               "its 95 % interval; the cost of one emitter is the slope of cost against emitters.");
}

}  // namespace analyzer
