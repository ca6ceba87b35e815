#include "analyzer/html_report.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analyzer/companion_section.h"
#include "analyzer/markup.h"
#include "analyzer/measuring_method.h"
#include "analyzer/readable_date.h"
#include "analyzer/set_summary.h"
#include "analyzer/summary_formats.h"
#include "analyzer/svg_plot.h"
#include "ui/counted_text.h"

namespace analyzer {

namespace {

constexpr const char* kStyle = R"css(
body { font: 15px/1.45 system-ui, sans-serif; color: #1d2430; background: #f6f7f9; margin: 0; }
main { max-width: 1320px; margin: 0 auto; padding: 24px 28px 40px; }
h1 { font-size: 26px; margin: 0 0 4px; } h2 { font-size: 18px; margin: 28px 0 8px; }
.sub { color: #5b6573; margin: 0 0 16px; }
dl.facts { display: grid; grid-template-columns: max-content 1fr; gap: 2px 16px; margin: 0; }
dt { color: #5b6573; } dd { margin: 0; }
section { background: #fff; border: 1px solid #dde1e6; border-radius: 8px; padding: 12px 18px 16px; margin-top: 18px; }
.wide { overflow-x: auto; }
svg.chart { width: 100%; height: auto; display: block; }
table { border-collapse: collapse; font-variant-numeric: tabular-nums; font-size: 12.5px; }
th, td { padding: 3px 2px; border-bottom: 1px solid #e7eaee; text-align: right; vertical-align: top; }
th { background: #eef1f4; vertical-align: bottom; } td.text, th.text { text-align: left; }
td.text { overflow-wrap: anywhere; min-width: 6em; } .ci { color: #5b6573; }
.verdict-measurable { color: #a33; font-weight: 600; } .verdict-none { color: #2a7a3a; }
.heading { font-size: 14px; font-weight: 600; fill: #1d2430; }
.tick, .note { font-size: 11px; fill: #5b6573; } .label { font-size: 12px; fill: #1d2430; }
.grid { stroke: #eceff2; } .axis { stroke: #8a939f; fill: none; }
.line { fill: none; stroke-width: 1.6; } .fit { fill: none; stroke-width: 1.4; stroke-dasharray: 6 4; }
.baseline { stroke: #1d2430; stroke-dasharray: 4 3; } .zero { stroke: #8a939f; }
.error { stroke: #1d2430; stroke-width: 1.2; fill: none; } .bar { opacity: 0.85; } .clipped { fill: #1d2430; }
.s0 { stroke: #2f6fd0; fill: #2f6fd0; } .s1 { stroke: #d0612f; fill: #d0612f; } .s2 { stroke: #2f9d5a; fill: #2f9d5a; }
.s3 { stroke: #8a4fc7; fill: #8a4fc7; } .s4 { stroke: #c2a21a; fill: #c2a21a; } .s5 { stroke: #c23a7a; fill: #c23a7a; }
polyline.line { fill: none; } polygon.band { stroke: none; fill-opacity: 0.18; } .fit.s0, .fit.s1, .fit.s2, .fit.s3, .fit.s4, .fit.s5 { fill: none; }
footer { color: #5b6573; font-size: 12px; margin-top: 24px; }
)css";

// Seconds between readings: the meter is read every half second.
constexpr double kReadingInterval = 0.5;
// Readings per set that still get a dot (with its value) each: ten minutes' worth.
constexpr size_t kMostDots = 1200;

std::string Series(size_t index) { return SeriesClass(index); }

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void BeginPage(std::ostream& out, const std::string& title) {
  out << "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
      << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n<title>" << Escaped(title)
      << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<main>\n";
}

void EndPage(std::ostream& out, const std::string& footer) {
  out << "<footer>Written by Korvanta3RUzevoDataAnalyzer. " << Escaped(footer) << "</footer>\n</main>\n</body>\n</html>\n";
}

std::string SeriesClass(size_t index) { return "s" + std::to_string(index % 6); }

namespace {

void End(std::ostream& out) {
  EndPage(out, "Cost: a mode's mean reading minus the empty test's, with the 95 % interval of Welch's t-test; an "
               "interval that includes 0 is no measurable cost.");
}

std::string Devices(const ResultsFile& file) {
  std::vector<std::string> devices;
  for (const ResultsSet& set : file.sets) {
    if (!file.IsEmptyTest(set) || file.sets.size() == 1) {
      if (std::find(devices.begin(), devices.end(), set.device) == devices.end()) devices.push_back(set.device);
    }
  }
  if (devices.empty() && !file.sets.empty()) devices.push_back(file.sets[0].device);
  std::string joined;
  for (const std::string& d : devices) joined += (joined.empty() ? "" : ", ") + d;
  return joined;
}

std::string Interval(const stats::Difference& d) {
  return d.defined ? "[" + Figure(d.ci95.low) + ", " + Figure(d.ci95.high) + "]" : "-";
}

void SummaryTable(const ResultsFile& file, std::ostream& out) {
  out << "<div class=\"wide\"><table class=\"summary\">\n<thead><tr><th class=\"text\">Mode</th><th class=\"text\">Device</th>"
         "<th>Emitters</th><th>Rate</th><th>Readings</th><th>Mean %</th><th>Median</th><th>Min</th><th>Max</th>"
         "<th>SD</th><th>95 % CI of mean</th><th>Cost %</th><th>Cost 95 % CI</th><th>p</th>"
         "<th class=\"text\">Verdict</th></tr></thead>\n<tbody>\n";
  for (const SetSummary& s : SummarizeSets(file)) {
    const stats::Summary& r = s.readings;
    out << "<tr><td class=\"text\">" << Escaped(s.set->mode) << "</td><td class=\"text\">" << Escaped(s.set->device)
        << "</td><td>" << s.set->emitters << "</td><td>" << s.set->sampleRate << "</td><td>" << r.count << "</td><td>"
        << Figure(r.mean) << "</td><td>" << Figure(r.median) << "</td><td>" << Figure(r.min) << "</td><td>"
        << Figure(r.max) << "</td><td>" << Figure(r.deviation) << "</td><td>"
        << (r.count >= 2 ? "[" + Figure(r.ci95.low) + ", " + Figure(r.ci95.high) + "]" : "-") << "</td><td>"
        << Figure(s.cost.value) << "</td><td>" << Interval(s.cost) << "</td><td>"
        << (s.cost.defined ? PValue(s.cost.p) : "-") << "</td><td class=\"text " << VerdictClass(s.verdict) << "\">"
        << Escaped(s.verdict) << "</td></tr>\n";
  }
  out << "</tbody>\n</table></div>\n";
}

std::string ReadingsChart(const ResultsFile& file) {
  double low = INFINITY, high = -INFINITY;
  size_t longest = 0;
  for (const ResultsSet& set : file.sets) {
    for (const double r : set.readings) low = std::min(low, r), high = std::max(high, r);
    longest = std::max(longest, set.readings.size());
  }
  SvgPlot plot("CPU utilization of every reading", "seconds into the test", "CPU %",
               {0, std::max(1.0, static_cast<double>(longest) * kReadingInterval)},
               SvgPlot::Padded(std::isfinite(low) ? low : 0, std::isfinite(high) ? high : 1, true));
  std::vector<std::string> names;
  for (size_t i = 0; i < file.sets.size(); ++i) {
    const ResultsSet& set = file.sets[i];
    std::vector<double> xs, ys;
    for (size_t k = 0; k < set.readings.size(); ++k) {
      xs.push_back(static_cast<double>(k + 1) * kReadingInterval);
      ys.push_back(set.readings[k]);
    }
    names.push_back(set.mode);
    plot.Line(xs, ys, Series(i));
    // Hours of readings: the line alone keeps the report small.
    if (xs.size() > kMostDots) continue;
    for (size_t k = 0; k < xs.size(); ++k) {
      plot.Dot(xs[k], ys[k], Series(i), set.mode + ", " + Figure(xs[k]) + " s: " + Figure(ys[k]) + " %");
    }
  }
  if (const ResultsSet* base = file.Baseline(); base != nullptr && !base->readings.empty()) {
    const double mean = stats::Summarize(base->readings).mean;
    plot.Horizontal(mean, "baseline", "baseline " + Figure(mean) + " %");
  }
  plot.Legend(names);
  return plot.Svg();
}

std::string CostChart(const ResultsFile& file) {
  std::vector<SetSummary> costs;
  for (const SetSummary& s : SummarizeSets(file)) {
    if (!s.baseline) costs.push_back(s);
  }
  std::vector<double> values, ends;
  for (const SetSummary& s : costs) {
    values.push_back(s.cost.value);
    ends.insert(ends.end(), {s.cost.ci95.low, s.cost.ci95.high});
  }
  SvgPlot plot("Cost above the empty test, with 95 % intervals", "", "CPU % above baseline",
               SvgPlot::CategoryRange(costs.size()), SvgPlot::ForValues(values, ends, true));
  std::vector<std::string> names;
  for (size_t i = 0; i < costs.size(); ++i) {
    const SetSummary& s = costs[i];
    const double x = static_cast<double>(i);
    plot.Bar(x, 0.6, s.cost.value, Series(i + 1), s.set->mode + ": " + Figure(s.cost.value) + " % " + s.verdict);
    if (s.cost.defined) plot.ErrorBar(x, s.cost.ci95.low, s.cost.ci95.high);
    names.push_back(s.set->mode);
  }
  plot.Horizontal(0, "zero", "");
  plot.Categories(names);
  return plot.Svg();
}

// The run's settings come from its companion: the results file does not hold them.
void Facts(const ResultsFile& file, std::ostream& out) {
  out << "<dl class=\"facts\"><dt>File</dt><dd>" << Escaped(FileName(file.path)) << "</dd><dt>Version</dt><dd>"
      << Escaped(file.version) << "</dd><dt>Date</dt><dd>" << Escaped(ReadableDate(file.dateTime))
      << "</dd><dt>Processor</dt><dd>" << Escaped(file.cpu) << "</dd><dt>Device</dt><dd>" << Escaped(Devices(file))
      << "</dd>";
  if (file.companion) {
    const double seconds = file.companion->SecondsPerTest();
    out << "<dt>Seconds per test</dt><dd>" << (std::isfinite(seconds) ? Fixed(seconds, 1) : "-")
        << "</dd><dt>Rounds</dt><dd>" << file.companion->rounds << "</dd><dt>Measuring method</dt><dd>"
        << Escaped(MeasuringMethodName(file.companion->measuringMethod)) << "</dd>";
  }
  out << "</dl>\n";
}

std::string BatchChart(const SeriesAnalysis& analysis) {
  double most = 1;
  std::vector<double> values, ends;
  for (const BatchSeries& s : analysis.series) {
    for (const BatchPoint& p : s.points) {
      most = std::max(most, static_cast<double>(p.emitters));
      values.push_back(p.cost.value);
      ends.insert(ends.end(), {p.cost.ci95.low, p.cost.ci95.high});
    }
  }
  // The fitted lines' ends are values the chart shows too.
  for (const BatchSeries& s : analysis.series) {
    if (std::isfinite(s.fit.slope)) values.insert(values.end(), {s.fit.intercept, s.fit.intercept + s.fit.slope * most});
  }
  SvgPlot plot("Cost above the empty test against emitters, with fitted lines", "emitters", "CPU % above baseline",
               {0, most * 1.05}, SvgPlot::ForValues(values, ends, true));
  std::vector<std::string> names;
  for (size_t i = 0; i < analysis.series.size(); ++i) {
    const BatchSeries& s = analysis.series[i];
    for (const BatchPoint& p : s.points) {
      if (p.cost.defined) plot.ErrorBar(p.emitters, p.cost.ci95.low, p.cost.ci95.high);
      plot.Dot(p.emitters, p.cost.value, Series(i),
               s.mode + ", " + EmitterCountText(p.emitters) + ": " + Figure(p.cost.value) + " %");
    }
    if (std::isfinite(s.fit.slope)) {
      plot.Line({0, most}, {s.fit.intercept, s.fit.intercept + s.fit.slope * most}, "fit " + Series(i));
    }
    names.push_back(s.mode);
  }
  plot.Horizontal(0, "zero", "");
  plot.Legend(names);
  return plot.Svg();
}

void BatchSection(std::span<const ResultsFile>, const SeriesAnalysis& analysis, std::ostream& out) {
  out << "<section>\n<h2>Cost against emitters</h2>\n" << BatchChart(analysis);
  out << "<table class=\"batch\">\n<thead><tr><th class=\"text\">Mode</th><th>Runs</th><th>Cost per emitter %</th>"
         "<th>95 % CI</th><th>Cost at 0 emitters %</th>";
  for (const BatchPoint& p : analysis.series.empty() ? std::vector<BatchPoint>{} : analysis.series[0].points) {
    out << "<th>" << EmitterCountText(p.emitters) << "</th>";
  }
  out << "</tr></thead>\n<tbody>\n";
  for (const BatchSeries& s : analysis.series) {
    out << "<tr><td class=\"text\">" << Escaped(s.mode) << "</td><td>" << s.points.size() << "</td><td>"
        << Figure(s.fit.slope) << "</td><td>" << FixedRange(s.fit.slopeCi95, 3) << "</td><td>"
        << Figure(s.fit.intercept) << "</td>";
    for (const BatchPoint& p : s.points) out << "<td>" << Figure(p.cost.value) << "</td>";
    out << "</tr>\n";
  }
  out << "</tbody>\n</table>\n</section>\n";
}

void ComparisonSection(std::span<const ResultsFile> files, const SeriesAnalysis& analysis, std::ostream& out) {
  out << "<section>\n<h2>Comparison with " << Escaped(FileName(files[0].path)) << "</h2>\n";
  if (analysis.comparisons.empty()) {
    out << "<p>The files have no mode in common.</p>\n</section>\n";
    return;
  }
  std::vector<double> values, ends;
  for (const ModeComparison& c : analysis.comparisons) {
    values.insert(values.end(), {c.costA.value, c.costB.value});
    ends.insert(ends.end(), {c.costA.ci95.low, c.costA.ci95.high, c.costB.ci95.low, c.costB.ci95.high});
  }
  // One group of bars per kind of mode, one bar per file in it: the labels
  // stay short however long the files' names, and the legend names the files.
  std::vector<std::string> kinds;
  for (const ModeComparison& c : analysis.comparisons) {
    if (std::find(kinds.begin(), kinds.end(), c.mode) == kinds.end()) kinds.push_back(c.mode);
  }
  SvgPlot plot("Cost above each run's empty test, side by side", "", "CPU % above baseline",
               SvgPlot::CategoryRange(kinds.size()), SvgPlot::ForValues(values, ends, true));
  const double slot = 0.8 / static_cast<double>(files.size());
  const auto bar = [&](size_t kind, size_t file, const std::string& mode, const stats::Difference& cost) {
    const double x = static_cast<double>(kind) - 0.4 + slot * (static_cast<double>(file) + 0.5);
    plot.Bar(x, slot * 0.85, cost.value, Series(file),
             FileName(files[file].path) + ", " + mode + ": " + Figure(cost.value) + " %");
    if (cost.defined) plot.ErrorBar(x, cost.ci95.low, cost.ci95.high);
  };
  for (size_t k = 0; k < kinds.size(); ++k) {
    bool first = true;
    for (const ModeComparison& c : analysis.comparisons) {
      if (c.mode != kinds[k]) continue;
      if (first) bar(k, c.fileA, c.modeA, c.costA);
      first = false;
      bar(k, c.fileB, c.modeB, c.costB);
    }
  }
  std::vector<std::string> names;
  for (size_t f = 0; f < files.size(); ++f) {
    names.push_back(std::to_string(f + 1) + ": " + FileName(files[f].path) + (f == 0 ? " (reference)" : ""));
  }
  plot.Horizontal(0, "zero", "");
  plot.Categories(kinds);
  plot.Legend(names);
  out << plot.Svg();
  out << "<table class=\"comparison\">\n<thead><tr><th class=\"text\">Mode</th><th class=\"text\">File</th>"
         "<th class=\"text\">Device</th><th>Cost %</th><th>Reference cost %</th><th>Difference %</th>"
         "<th>95 % CI</th><th>p (Welch)</th><th class=\"text\">Significant</th></tr></thead>\n<tbody>\n";
  for (const ModeComparison& c : analysis.comparisons) {
    const ResultsSet* set = nullptr;
    for (const ResultsSet& s : files[c.fileB].sets) {
      if (s.mode == c.modeB) set = &s;
    }
    out << "<tr><td class=\"text\">" << Escaped(c.mode) << "</td><td class=\"text\">"
        << Escaped(FileName(files[c.fileB].path)) << "</td><td class=\"text\">"
        << Escaped(set != nullptr ? set->device : "") << "</td><td>" << Figure(c.costB.value) << "</td><td>"
        << Figure(c.costA.value) << "</td><td>" << Figure(c.change.value) << "</td><td>" << Interval(c.change)
        << "</td><td>" << (c.change.defined ? PValue(c.change.p) : "-") << "</td><td class=\"text\">"
        << (!c.change.defined        ? "too few readings"
            : c.change.Significant() ? "yes"
                                     : "no")
        << "</td></tr>\n";
  }
  out << "</tbody>\n</table>\n</section>\n";
}

}  // namespace

void WriteFileReport(const ResultsFile& file, std::ostream& out) {
  BeginPage(out, "Korvanta 3RUzevo results: " + FileName(file.path));
  out << "<h1>Korvanta 3RUzevo results</h1>\n<p class=\"sub\">" << Escaped(ReadableDate(file.dateTime)) << "</p>\n";
  Facts(file, out);
  out << "<section>\n" << ReadingsChart(file) << "</section>\n";
  out << "<section>\n" << CostChart(file) << "</section>\n";
  if (file.companion) WriteCompanionSection(*file.companion, out);
  out << "<section>\n<h2>Summary</h2>\n";
  SummaryTable(file, out);
  out << "</section>\n";
  End(out);
}

void WriteSeriesReport(std::span<const ResultsFile> files, const SeriesAnalysis& analysis, std::ostream& out) {
  BeginPage(out, analysis.batch ? "Korvanta 3RUzevo batch" : "Korvanta 3RUzevo comparison");
  out << "<h1>" << (analysis.batch ? "Korvanta 3RUzevo batch" : "Korvanta 3RUzevo comparison")
      << "</h1>\n<p class=\"sub\">" << files.size() << " results files</p>\n";
  if (analysis.batch) {
    BatchSection(files, analysis, out);
  } else {
    ComparisonSection(files, analysis, out);
  }
  for (const size_t index : analysis.order) {
    const ResultsFile& file = files[index];
    out << "<section>\n<h2>" << Escaped(FileName(file.path)) << "</h2>\n";
    Facts(file, out);
    SummaryTable(file, out);
    out << "</section>\n";
  }
  End(out);
}

}  // namespace analyzer
