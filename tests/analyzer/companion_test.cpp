#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "analyzer/analyzer_command.h"
#include "analyzer/read_report.h"
#include "analyzer/written_results.h"
#include "results/companion_file.h"
#include "results/machine_quietness.h"
#include "results/run_costs.h"

using namespace analyzer;

namespace {

namespace fs = std::filesystem;
using tinyxml2::XMLElement;

// Milliseconds per second of each user of a 2-processor machine.
struct Rates {
  double program, pipewire, interrupts, indexer;
};

TestRecord Test(const char* mode, uint32_t emitters, float mean, Rates rates, uint64_t startedMs) {
  TestRecord test;
  test.ran = true;
  std::strcpy(test.mode, mode);
  test.emptyTest = emitters == 0;
  test.deviceName = "Card";
  test.emitters = emitters;
  test.sampleRate = test.emptyTest ? 0 : 44100;
  test.readings = {mean - 0.2f, mean - 0.1f, mean, mean + 0.1f, mean + 0.2f};
  test.startedMs = startedMs;
  test.measuredMs = 8000;
  platform::MachineSnapshot start, end;
  start.processorCount = end.processorCount = 2;
  start.resolutionNs = end.resolutionNs = 1;
  start.processes = {{10, "pipewire", 0}, {11, "indexer", 0}};
  const auto over8s = [](double msPerSecond) { return static_cast<uint64_t>(8 * msPerSecond * 1e6); };
  end.wallNs = over8s(1000);
  end.programUserNs = over8s(rates.program);
  end.interruptNs = over8s(rates.interrupts);
  end.processes = {{10, "pipewire", over8s(rates.pipewire)}, {11, "indexer", over8s(rates.indexer)}};
  test.use = UseBetween(start, end, 0);
  return test;
}

// 2D costs 6 points: this program 3, pipewire 1, interrupts 0.4, and the
// indexer 0.5 less than in the empty test, which leaves 2.1 unexplained.
// 3D costs nothing measurable.
RunRecord PartedRun() {
  RunRecord run;
  run.tests[0] = Test("Empty CPU test", 0, 10, {2, 5, 5, 20}, 0);
  run.tests[1] = Test("OpenAL 2D", 100, 16, {62, 25, 13, 10}, 10000);
  run.tests[2] = Test("OpenAL 3D hardware", 100, 10, {2, 5, 5, 20}, 20000);
  return run;
}

results::Companion CompanionOf(const RunRecord& run, const std::string& resultsFileName) {
  const std::vector<std::string> servers = {"pipewire"};
  RunAnswer answer = AnswerRun(run, 2, servers);
  answer.quietness.warnings.push_back("A <b>warning</b> & \"its\" markup");
  return MakeCompanion(run, answer, CompanionFacts{}, resultsFileName);
}

void WriteRun(const RunRecord& run, const std::string& path) {
  std::ostringstream xml;
  WriteResults(run, {"Korvanta 3RUzevo: CPU Utilization test v2.3", "Today", "Unknown 1000.00 Mhz"}, xml);
  WriteTextFile(path, xml.str());
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::istringstream cells(line);
  for (std::string cell; std::getline(cells, cell, separator);) fields.push_back(cell);
  return fields;
}

// A table's cells by its column headings, one map per body row.
std::vector<std::map<std::string, std::string>> TableRows(const XMLElement* table) {
  std::vector<std::string> headings;
  for (const XMLElement* th : All(All(table, "thead")[0], "th")) headings.push_back(Text(th));
  std::vector<std::map<std::string, std::string>> rows;
  for (const XMLElement* tr : All(All(table, "tbody")[0], "tr")) {
    const auto cells = All(tr, "td");
    auto& row = rows.emplace_back();
    for (size_t c = 0; c < cells.size() && c < headings.size(); ++c) row[headings[c]] = Text(cells[c]);
  }
  return rows;
}

TEST(AnalyzerCompanion, TheRunsPartsReachEverySummaryAndTheReport) {
  fs::remove_all("trip");
  fs::create_directories("trip");
  const RunRecord run = PartedRun();
  WriteRun(run, "trip/KV3D_trip.xml");
  std::string error;
  ASSERT_TRUE(WriteCompanionFile("trip/KV3D_trip.xml", CompanionOf(run, "KV3D_trip.xml"), error)) << error;

  std::ostringstream csv, json, text, err;
  ASSERT_EQ(RunAnalyzer({"--format", "csv", "trip/KV3D_trip.xml"}, csv, err), 0);
  ASSERT_EQ(RunAnalyzer({"--format", "json", "trip/KV3D_trip.xml"}, json, err), 0);
  ASSERT_EQ(RunAnalyzer({"trip/KV3D_trip.xml"}, text, err), 0);
  EXPECT_EQ(err.str().find("KV3D_trip.json"), std::string::npos) << err.str();

  std::vector<std::map<std::string, std::string>> rows;
  std::istringstream lines(csv.str());
  std::string line;
  std::getline(lines, line);
  const std::vector<std::string> columns = Split(line.substr(0, line.find('\r')), ',');
  while (std::getline(lines, line)) {
    const std::vector<std::string> fields = Split(line.substr(0, line.find('\r')), ',');
    auto& row = rows.emplace_back();
    for (size_t c = 0; c < columns.size(); ++c) row[columns[c]] = c < fields.size() ? fields[c] : "";
  }
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]["program"], "") << "the empty test has no cost";
  const std::map<std::string, std::string> expected = {{"run_cost", "6.000"},    {"run_verdict", "measurable cost"},
                                                       {"program", "3.000"},     {"servers", "1.000"},
                                                       {"kernel", "0.400"},      {"other", "-0.500"},
                                                       {"unexplained", "2.100"}, {"per_emitter", "0.060"}};
  for (const auto& [column, value] : expected) EXPECT_EQ(rows[1][column], value) << column;
  EXPECT_LT(std::stod(rows[1]["run_cost_low"]), 6);
  EXPECT_GT(std::stod(rows[1]["run_cost_high"]), 6);
  EXPECT_EQ(rows[2]["run_verdict"], "no measurable cost");

  const nlohmann::json summary = nlohmann::json::parse(json.str());
  EXPECT_EQ(summary[1]["other"], -0.5);
  EXPECT_TRUE(summary[0]["run_verdict"].is_null());
  // The table's last columns: unexplained and per emitter, right-aligned.
  const std::string table = text.str();
  const size_t at = table.find("\nOpenAL 2D ");
  ASSERT_NE(at, std::string::npos) << table;
  std::istringstream row2d(table.substr(at + 1, table.find('\n', at + 1) - at - 1));
  std::vector<std::string> words;
  for (std::string word; row2d >> word;) words.push_back(word);
  ASSERT_GE(words.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(words.end() - 2, words.end()), (std::vector<std::string>{"2.100", "0.060"}));

  Report html("trip/KV3D_trip.html");
  const XMLElement* section = nullptr;
  for (const XMLElement* s : All(html.Root(), "section")) {
    if (Class(s) == "companion") section = s;
  }
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(Text(section->FirstChildElement("h2")), "Where the cost goes");
  const auto costs = TableRows(All(section, "table")[0]);
  ASSERT_EQ(costs.size(), 2u);
  EXPECT_EQ(costs[0].at("Mode"), "OpenAL 2D");
  const auto parts = TableRows(All(section, "table")[1]);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].at("pipewire %"), "1.000");
  EXPECT_EQ(parts[0].at("other %"), "-0.500");
  EXPECT_EQ(costs[0].at("Emitters per 1 % of one processor"), "8.333") << "100 / (6 % of 2 processors)";
  EXPECT_EQ(costs[1].at("Verdict"), "no measurable cost");
  EXPECT_EQ(costs[1].at("Emitters per 1 % of one processor"), "-");
  EXPECT_EQ(TableRows(All(section, "table")[2]).size(), 3u) << "every test";

  // The bar: parts to scale, the one below zero drawn left of zero.
  const XMLElement* chart = All(section, "svg")[0];
  std::map<std::string, std::pair<double, double>> boxes;  // part: left, width
  for (const XMLElement* rect : All(chart, "rect")) {
    if (rect->FirstChildElement("title") == nullptr) continue;  // the legend's keys
    const std::string title = Text(rect->FirstChildElement("title"));
    boxes[title.substr(0, title.find(':'))] = {rect->DoubleAttribute("x"), rect->DoubleAttribute("width")};
  }
  double zero = 0;
  for (const XMLElement* l : All(chart, "line")) {
    if (Class(l) == "zero") zero = l->DoubleAttribute("x1");
  }
  const auto other = boxes.at("OpenAL 2D, other"), program = boxes.at("OpenAL 2D, program");
  EXPECT_NEAR(other.first + other.second, zero, 0.2);
  EXPECT_NEAR(program.first, zero, 0.2);
  EXPECT_NEAR(program.second / other.second, 3.0 / 0.5, 0.05);
  EXPECT_EQ(boxes.count("OpenAL 3D hardware, program"), 0u) << "a part of 0 draws nothing";

  const auto warnings = All(section, "li");
  ASSERT_FALSE(warnings.empty());
  EXPECT_EQ(Text(warnings.back()), "A <b>warning</b> & \"its\" markup");
}

TEST(AnalyzerCompanion, AnUnusableCompanionIsOneLineAndChangesNothing) {
  fs::remove_all("odd");
  fs::create_directories("odd");
  const RunRecord run = PartedRun();
  WriteRun(run, "odd/KV3D_odd.xml");
  // Every output of the analyzer, and what it said on standard error
  // besides the report's name (which goes there beside CSV and JSON).
  const auto analyse = [](std::string& said) {
    std::string all;
    said.clear();
    for (const char* format : {"text", "csv", "json"}) {
      std::ostringstream out, err;
      EXPECT_EQ(RunAnalyzer({"--format", format, "odd/KV3D_odd.xml"}, out, err), 0) << "a warning, not a failure";
      all += out.str() + ReadTextFile("odd/KV3D_odd.html");
      std::istringstream lines(err.str());
      for (std::string line; std::getline(lines, line);) (line.rfind("Report: ", 0) == 0 ? all : said) += line + "\n";
    }
    return all;
  };
  std::string said;
  const std::string without = analyse(said);
  ASSERT_EQ(said, "");

  const nlohmann::json good = nlohmann::json::parse(results::CompanionText(CompanionOf(run, "KV3D_odd.xml")));
  const auto changed = [&](const std::function<void(nlohmann::json&)>& change) {
    nlohmann::json document = good;
    change(document);
    return document.dump();
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"{\"results_file\": ", "not JSON"},
      {changed([](nlohmann::json& d) { d["costs"][0]["cost"] = "6"; }), "costs[0].cost is a text, not a number"},
      {changed([](nlohmann::json& d) { d["costs"][0].erase("verdict"); }), "costs[0].verdict is missing"},
      {changed([](nlohmann::json& d) { d["tests"][1]["parts"]["servers"]["pipe\nwire"] = "busy"; }),
       "tests[1].parts.servers.pipe wire is a text, not a number"},
      {changed([](nlohmann::json& d) { d["results_file"] = "KV3D_other.xml"; }),
       "it belongs to KV3D_other.xml, not to KV3D_odd.xml"},
  };
  for (const auto& [companion, why] : cases) {
    WriteTextFile("odd/KV3D_odd.json", companion);
    EXPECT_EQ(analyse(said), without) << why;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 3) << "one line a run:\n" << said;
    EXPECT_NE(said.find("KV3D_odd.json: " + why), std::string::npos) << said;
  }
}

}  // namespace
