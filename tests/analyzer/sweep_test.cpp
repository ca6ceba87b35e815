#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analyzer/analyzer_command.h"
#include "analyzer/read_report.h"
#include "analyzer/written_results.h"

using namespace analyzer;

namespace {

namespace fs = std::filesystem;

// Two configurations as kv3r sweep writes them; the second's first point and
// the third's figures have no values.
const char* const kSweep = R"json({
  "kv3r_sweep": 2, "program_version": "2.3", "started": "2026-12-10 00:12:05",
  "back_end": "OpenAL", "device": "OpenAL Soft", "mode": "OpenAL 2D",
  "seconds": 4, "rounds": 2, "rounds_asked": 2, "interrupted": false, "processors": 2, "measuring_method": 2,
  "emitter_counts": [1, 64, 128],
  "configurations": [
    {"name": "default", "settings": {}, "output": "", "effective": {"hrtf": false}, "differences": [],
     "per_emitter": {"value": 0.0077, "ci95": [0.0070, 0.0084]},
     "per_emitter_of_one_processor": {"value": 0.0154, "ci95": [0.0140, 0.0168]},
     "emitters_per_percent_of_one_processor": {"value": 64.9, "ci95": [59.5, 71.4]},
     "ratio_to_first": {"value": 1, "ci95": [1, 1]},
     "points": [
       {"emitters": 1, "cost": 0.01, "ci95": [-0.02, 0.04], "rounds": 2, "results_files": ["a.xml"],
        "parts": {"program": 0.01, "servers": {}, "kernel": 0.0, "other": 0.0, "unexplained": 0.0}},
       {"emitters": 128, "cost": 0.99, "ci95": [0.85, 1.1], "rounds": 2, "results_files": ["b.xml"],
        "parts": {"program": 0.9, "servers": {}, "kernel": 0.05, "other": 0.02, "unexplained": 0.02}}]},
    {"name": "hrtf=true", "settings": {"hrtf": "true"}, "output": "null",
     "effective": {"hrtf": true, "hrtf_name": "Built-In HRTF"},
     "differences": ["hrtf: asked true, the library gave false"],
     "per_emitter": {"value": 0.0301, "ci95": [0.0270, 0.0332]},
     "per_emitter_of_one_processor": {"value": 0.0602, "ci95": [0.0540, 0.0660]},
     "emitters_per_percent_of_one_processor": {"value": 16.6, "ci95": [15.1, 18.5]},
     "ratio_to_first": {"value": 3.9, "ci95": [3.1, 4.8]},
     "points": [
       {"emitters": 1, "cost": null, "ci95": [null, null], "rounds": 0, "results_files": [],
        "parts": {"program": null, "servers": {}, "kernel": null, "other": null, "unexplained": null}},
       {"emitters": 64, "cost": 1.93, "ci95": [1.70, 2.16], "rounds": 2, "results_files": ["c.xml"],
        "parts": {"program": 1.80, "servers": {}, "kernel": 0.05, "other": 0.02, "unexplained": 0.06}},
       {"emitters": 128, "cost": 3.9, "ci95": [3.5, 4.3], "rounds": 2, "results_files": ["d.xml"],
        "parts": {"program": 3.7, "servers": {}, "kernel": 0.1, "other": 0.05, "unexplained": 0.05}}]},
    {"name": "period_size=256", "settings": {"period_size": "256"}, "output": "", "effective": {},
     "differences": [], "per_emitter": {"value": null, "ci95": [null, null]},
     "per_emitter_of_one_processor": {"value": null, "ci95": [null, null]},
     "emitters_per_percent_of_one_processor": {"value": null, "ci95": [null, null]},
     "ratio_to_first": {"value": null, "ci95": [null, null]}, "points": []}
  ]
})json";

std::vector<const tinyxml2::XMLElement*> Marks(const tinyxml2::XMLElement* svg, const char* name, const std::string& css) {
  std::vector<const tinyxml2::XMLElement*> found;
  for (const tinyxml2::XMLElement* e : All(svg, name)) {
    if (Class(e) == css) found.push_back(e);
  }
  return found;
}

const tinyxml2::XMLElement* Chart(const Report& report, const std::string& title) {
  for (const tinyxml2::XMLElement* svg : All(report.Root(), "svg")) {
    if (std::string(svg->Attribute("aria-label")).rfind(title, 0) == 0) return svg;
  }
  ADD_FAILURE() << "no chart " << title;
  return report.Root();
}

TEST(AnalyzerSweep, ASweepFileGivesItsTableAndReport) {
  fs::remove_all("sweep");
  fs::create_directories("sweep");
  WriteTextFile("sweep/sweep.json", kSweep);
  std::ostringstream out, err;
  ASSERT_EQ(RunAnalyzer({"sweep/sweep.json"}, out, err), 0) << err.str();
  // Beside the input, in the input's own spelling of its folder.
  const std::string report = "sweep/sweep.html";
  const std::string printed = out.str();
  EXPECT_EQ(printed.substr(printed.rfind("Report: ")), "Report: " + report + "\n");

  // One row per configuration: per-emitter cost of one processor with its interval, the ratio with its.
  std::istringstream lines(printed);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_GE(rows.size(), 5u) << printed;
  EXPECT_NE(rows[0].find("4 s per test, 2 rounds"), std::string::npos) << rows[0];
  EXPECT_EQ(rows[1].find("Configuration"), 0u) << rows[1];
  EXPECT_EQ(rows[2].rfind("default", 0), 0u);
  EXPECT_NE(rows[2].find("0.0154  [0.0140, 0.0168]"), std::string::npos) << rows[2];
  EXPECT_NE(rows[3].find("0.0602  [0.0540, 0.0660]"), std::string::npos) << rows[3];
  EXPECT_NE(rows[3].find("3.90  [3.10, 4.80]  hrtf: asked true, the library gave false"), std::string::npos) << rows[3];
  EXPECT_EQ(rows[2].find("["), rows[3].find("[")) << "aligned";
  EXPECT_NE(rows[4].find("period_size=256  auto"), std::string::npos) << rows[4];

  Report html(report);
  const auto* costs = Chart(html, "Cost above the empty tests against emitters");
  // A line and a band per configuration with points; a null cost is drawn nowhere.
  EXPECT_EQ(Marks(costs, "polyline", "line s0").size(), 1u);
  EXPECT_EQ(Marks(costs, "polygon", "band s0").size(), 1u);
  ASSERT_EQ(Marks(costs, "polyline", "line s1").size(), 1u);
  const std::string line = Marks(costs, "polyline", "line s1")[0]->Attribute("points");
  EXPECT_EQ(std::count(line.begin(), line.end(), ' '), 1) << "two of its three points: " << line;
  EXPECT_EQ(Marks(costs, "circle", "dot s1").size(), 2u);
  ASSERT_EQ(Marks(costs, "polygon", "band s1").size(), 1u);
  // Two points each side of the band: four corners.
  const std::string corners = Marks(costs, "polygon", "band s1")[0]->Attribute("points");
  EXPECT_EQ(std::count(corners.begin(), corners.end(), ','), 4) << corners;
  EXPECT_TRUE(Marks(costs, "polyline", "line s2").empty());
  EXPECT_EQ(Marks(costs, "rect", "key s2").size(), 1u) << "every configuration in the legend";

  const auto* bars = Chart(html, "Cost of one emitter");
  EXPECT_EQ(Marks(bars, "rect", "bar s0").size(), 1u);
  EXPECT_EQ(Marks(bars, "rect", "bar s1").size(), 1u);
  EXPECT_TRUE(Marks(bars, "rect", "bar s2").empty()) << "no figure, no bar";
  EXPECT_EQ(Marks(bars, "path", "error").size(), 2u);
  EXPECT_EQ(Marks(bars, "rect", "key s2").size(), 1u);

  const auto configurations = All(All(html.Root(), "table")[0], "tr");
  ASSERT_EQ(configurations.size(), 4u);
  EXPECT_EQ(Text(All(configurations[2], "td")[3]), "null");
  EXPECT_EQ(Text(All(configurations[2], "td")[4]), "hrtf=true, hrtf_name=Built-In HRTF");
  EXPECT_EQ(Text(All(configurations[2], "td")[5]), "hrtf: asked true, the library gave false");

  // A sweep file that cannot be used is one line naming it, and no report.
  WriteTextFile("sweep/bad.json", R"({"kv3r_sweep": 2, "configurations": [{"name": "x", "points": [{"emitters": -1}]}]})");
  std::ostringstream out2, err2;
  EXPECT_EQ(RunAnalyzer({"sweep/bad.json"}, out2, err2), 1);
  EXPECT_EQ(err2.str(), "Korvanta3RUzevoDataAnalyzer: sweep/bad.json: configurations[0].points[0].emitters is a "
                        "number, not a whole number\n");
  EXPECT_FALSE(fs::exists("sweep/bad.html"));
}

}  // namespace
