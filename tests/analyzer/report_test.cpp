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

using tinyxml2::XMLElement;
namespace fs = std::filesystem;

TEST(AnalyzerReport, ARunsReportHoldsEveryReadingAndTheSummaryFigures) {
  fs::remove_all("run");
  fs::create_directories("run");
  WriteTextFile("run/KV3D_Wednesday_09_December_2026_14_05_09-2.xml",
                WrittenResults({{"Empty CPU test", "Speakers & <Phones>", 0, {10.5f, 11.5f, 10.0f}},
                                {"OpenAL 2D", "Speakers & <Phones>", 16, {12.5f, 13.5f, 14.0f, 13.25f}},
                                {"OpenAL 3D hardware", "Speakers & <Phones>", 16, {}}}));
  std::ostringstream out, err;
  ASSERT_EQ(RunAnalyzer({"run/KV3D_Wednesday_09_December_2026_14_05_09-2.xml"}, out, err), 0) << err.str();
  const std::string report = fs::path("run/KV3D_Wednesday_09_December_2026_14_05_09-2.html").string();
  EXPECT_EQ(out.str().substr(out.str().rfind("Report: ")), "Report: " + report + "\n");
  Report html(report);
  // The file's "Wednesday,09,December,2026, 14:05 09 PM", as people write it.
  EXPECT_EQ(Text(All(html.Root(), "p")[0]), "9 December 2026, 14:05:09");

  const auto dots = html.Dots("CPU utilization of every reading");
  EXPECT_EQ(dots.at("dot s0"),
            (std::vector<std::string>{"Empty CPU test, 0.500 s: 10.500 %", "Empty CPU test, 1.000 s: 11.500 %",
                                      "Empty CPU test, 1.500 s: 10.000 %"}));
  EXPECT_EQ(dots.at("dot s1").size(), 4u);
  EXPECT_EQ(dots.at("dot s1")[3], "OpenAL 2D, 2.000 s: 13.250 %");
  EXPECT_EQ(dots.count("dot s2"), 0u) << "a set without readings has no dots";

  // The summary table holds the text summary's figures, row by row.
  std::ostringstream csv, ignored;
  ASSERT_EQ(RunAnalyzer({"--format", "csv", "run/KV3D_Wednesday_09_December_2026_14_05_09-2.xml"}, csv, ignored), 0);
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(csv.str());
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line.substr(0, line.find('\r')));
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    rows.push_back(fields);
  }
  const auto table = All(html.Root(), "table");
  ASSERT_EQ(table.size(), 1u);
  const auto tableRows = All(table[0], "tbody")[0];
  size_t r = 1;
  for (const XMLElement* tr = tableRows->FirstChildElement("tr"); tr != nullptr; tr = tr->NextSiblingElement(), ++r) {
    const auto cells = All(tr, "td");
    ASSERT_LT(r, rows.size());
    EXPECT_EQ(Text(cells[1]), "Speakers & <Phones>");
    EXPECT_EQ(Text(cells[4]), rows[r][5]) << "readings";
    EXPECT_EQ(Text(cells[5]), rows[r][6].empty() ? "-" : rows[r][6]) << "mean";
    EXPECT_EQ(Text(cells[9]), rows[r][10].empty() ? "-" : rows[r][10]) << "sd";
    EXPECT_EQ(Text(cells[11]), rows[r][13].empty() ? "-" : rows[r][13]) << "cost";
    EXPECT_EQ(Text(cells[14]), rows[r][17]) << "verdict";
  }
  EXPECT_EQ(r, 4u);
  EXPECT_EQ(rows[2][17], "measurable cost");
  EXPECT_EQ(rows[3][17], "too few readings");
}

TEST(AnalyzerReport, FourRunsOfABatchGiveCostAgainstEmittersTwoDevicesAComparison) {
  fs::remove_all("batch");
  fs::create_directories("batch");
  // Cost 0.1 % per emitter in 2D and 0.2 % in 3D above a 5 % baseline, read with a little noise.
  for (const uint32_t emitters : {8u, 16u, 32u, 64u}) {
    const float d2 = 0.1f * emitters, d3 = 0.2f * emitters;
    WriteTextFile("batch/Batch_KV3D_" + std::to_string(emitters) + ".xml",
                  WrittenResults({{"Empty CPU test", "Card", 0, {4.9f, 5.1f, 5.0f}},
                                  {"OpenAL 2D", "Card", emitters, {5 + d2 - 0.1f, 5 + d2 + 0.1f, 5 + d2}},
                                  {"OpenAL 3D hardware", "Card", emitters, {5 + d3 - 0.1f, 5 + d3 + 0.1f, 5 + d3}}}));
  }
  std::ostringstream out, err;
  // Given in a muddled order: the report orders by emitters.
  ASSERT_EQ(RunAnalyzer({"--output", "batch/all.html", "batch/Batch_KV3D_32.xml", "batch/Batch_KV3D_8.xml",
                         "batch/Batch_KV3D_64.xml", "batch/Batch_KV3D_16.xml"},
                        out, err),
            0)
      << err.str();
  Report batch("batch/all.html");
  const auto dots = batch.Dots("Cost above the empty test against emitters");
  EXPECT_EQ(dots.at("dot s0"),
            (std::vector<std::string>{"OpenAL 2D, 8 emitters: 0.800 %", "OpenAL 2D, 16 emitters: 1.600 %",
                                      "OpenAL 2D, 32 emitters: 3.200 %", "OpenAL 2D, 64 emitters: 6.400 %"}));
  EXPECT_EQ(dots.at("dot s1").size(), 4u);
  const auto rows = All(All(batch.Root(), "table")[0], "tr");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Text(All(rows[1], "td")[2]), "0.100") << "the cost of one emitter in 2D";
  EXPECT_EQ(Text(All(rows[2], "td")[2]), "0.200");
  EXPECT_EQ(Text(All(rows[1], "td")[3]), "[0.100, 0.100]") << "the slope's interval";

  // The same slope with its interval in every summary: text, CSV and JSON.
  const std::vector<std::string> batchFiles = {"batch/Batch_KV3D_8.xml", "batch/Batch_KV3D_16.xml",
                                               "batch/Batch_KV3D_32.xml", "batch/Batch_KV3D_64.xml"};
  const std::string text = out.str();
  const size_t batchTable = text.find("Cost against emitters, 4 runs of a batch");
  ASSERT_NE(batchTable, std::string::npos) << text;
  std::istringstream slopeRow(text.substr(text.find("\nOpenAL 3D hardware ", batchTable)));
  std::vector<std::string> words;
  for (std::string word; words.size() < 7 && slopeRow >> word;) words.push_back(word);
  EXPECT_EQ(words, (std::vector<std::string>{"OpenAL", "3D", "hardware", "4", "0.200", "0.200", "0.200"}));
  for (const char* format : {"csv", "json"}) {
    std::vector<std::string> arguments = {"--format", format};
    arguments.insert(arguments.end(), batchFiles.begin(), batchFiles.end());
    std::ostringstream summary, notes;
    ASSERT_EQ(RunAnalyzer(arguments, summary, notes), 0) << notes.str();
    const std::string printed = summary.str();
    if (std::string(format) == "csv") {
      EXPECT_NE(printed.find(",per_emitter_slope,per_emitter_slope_low,per_emitter_slope_high\r\n"), std::string::npos);
      EXPECT_NE(printed.find("OpenAL 3D hardware,Card,64,44100,3,"), std::string::npos);
      EXPECT_NE(printed.find(",0.200,0.200,0.200\r\n"), std::string::npos) << printed;
    } else {
      EXPECT_NE(printed.find("\"per_emitter_slope\": 0.100, \"per_emitter_slope_low\": 0.100, "
                             "\"per_emitter_slope_high\": 0.100}"),
                std::string::npos)
          << printed;
    }
  }

  // Another device on another machine: 3D costs clearly more, 2D the same.
  WriteTextFile("batch/other.xml", WrittenResults({{"Empty CPU test", "Other card", 0, {2.9f, 3.1f, 3.0f}},
                                                   {"DirectSound 2D", "Other card", 16, {4.5f, 4.7f, 4.6f}},
                                                   {"DirectSound 3D hardware", "Other card", 16, {9.1f, 9.2f, 9.0f}}},
                                                  "Other CPU 2000.00 Mhz"));
  std::ostringstream out2, err2;
  ASSERT_EQ(RunAnalyzer({"batch/Batch_KV3D_16.xml", "batch/other.xml"}, out2, err2), 0) << err2.str();
  Report comparison("batch/Batch_KV3D_16-comparison.html");
  const auto table = All(comparison.Root(), "table")[0];
  const auto compared = All(table, "tr");
  ASSERT_EQ(compared.size(), 3u);
  EXPECT_EQ(Text(All(compared[1], "td")[0]), "2D");
  EXPECT_EQ(Text(All(compared[1], "td")[2]), "Other card");
  EXPECT_EQ(Text(All(compared[1], "td")[8]), "no");
  EXPECT_EQ(Text(All(compared[2], "td")[0]), "3D hardware");
  EXPECT_EQ(Text(All(compared[2], "td")[5]), "2.900") << "(9.1 - 3) - (8.2 - 5)";
  EXPECT_EQ(Text(All(compared[2], "td")[8]), "yes");
}

TEST(AnalyzerReport, FiveFilesCompareWithALegendAndShortLabels) {
  fs::remove_all("five");
  fs::create_directories("five");
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) {
    const float extra = 0.5f * static_cast<float>(i);
    files.push_back("five/KV3D_Wednesday_09_December_2026_14_05_0" + std::to_string(i) + "-machine.xml");
    WriteTextFile(files.back(), WrittenResults({{"Empty CPU test", "Card", 0, {4.9f, 5.1f, 5.0f}},
                                                {"OpenAL 2D", "Card", 16, {6.9f + extra, 7.1f + extra, 7.0f + extra}},
                                                {"OpenAL 3D software", "Card", 16, {8.9f, 9.1f, 9.0f}}}));
  }
  std::ostringstream out, err;
  ASSERT_EQ(RunAnalyzer(files, out, err), 0) << err.str();
  // The console has the comparison too, row by row.
  const std::string text = out.str();
  ASSERT_NE(text.find("Compared with " + files[0]), std::string::npos) << text;
  EXPECT_NE(text.find("2D           " + files[4] + "   4.000        2.000         2.000"), std::string::npos) << text;

  Report html(fs::path(files[0]).replace_extension().string() + "-comparison.html");
  const tinyxml2::XMLElement* chart = nullptr;
  for (const tinyxml2::XMLElement* svg : All(html.Root(), "svg")) {
    if (std::string(svg->Attribute("aria-label")).rfind("Cost above each run", 0) == 0) chart = svg;
  }
  ASSERT_NE(chart, nullptr);
  std::vector<std::string> legend, labels;
  size_t bars = 0;
  for (const tinyxml2::XMLElement* rect : All(chart, "rect")) {
    if (Class(rect).rfind("key ", 0) == 0) legend.push_back(Text(rect->NextSiblingElement("text")));
    bars += Class(rect).rfind("bar ", 0) == 0;
  }
  for (const tinyxml2::XMLElement* label : All(chart, "text")) {
    if (Class(label) == "tick") labels.push_back(Text(label));
  }
  ASSERT_EQ(legend.size(), 5u);
  EXPECT_EQ(legend[4], "5: " + fs::path(files[4]).filename().string());
  EXPECT_EQ(bars, 10u) << "two modes, five files each";
  for (const std::string& label : labels) EXPECT_LE(label.size(), 12u) << label;
  EXPECT_NE(std::find(labels.begin(), labels.end(), "3D software"), labels.end());
}

}  // namespace
