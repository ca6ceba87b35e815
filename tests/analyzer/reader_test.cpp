#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analyzer/analyzer_command.h"
#include "analyzer/results_reader.h"
#include "analyzer/written_results.h"

using namespace analyzer;

namespace {

const std::string kHead =
    "<TestResults><Version>v</Version><DateTime>d</DateTime><CPU>c</CPU>"
    "<ResultsSet><TestMode>Empty CPU test</TestMode><DeviceName>D</DeviceName><nBuffers>0</nBuffers>"
    "<SampleRate>0</SampleRate><X-RAM>Off</X-RAM>";

TEST(ResultsReader, WhatOlderRunsWroteIsRead) {
  // The colon form of the stylesheet line, escaped markup, 8-bit text, a set without readings.
  const std::string old =
      "<?xml version=\"1.0\" ?>\n<?xml:stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"?>\n" + kHead +
      "<Result><Data>1.5</Data></Result></ResultsSet>"
      "<ResultsSet><TestMode>DirectSound 2D</TestMode><DeviceName>S&amp;B &lt;Live&gt; \xE9</DeviceName>"
      "<nBuffers>64</nBuffers><SampleRate>22050</SampleRate><X-RAM>On</X-RAM></ResultsSet>"
      "</TestResults>";
  ResultsFile file;
  std::string error;
  ASSERT_TRUE(ParseResults(old, file, error)) << error;
  ASSERT_EQ(file.sets.size(), 2u);
  EXPECT_EQ(file.sets[0].readings, std::vector<double>{1.5});
  EXPECT_EQ(file.sets[1].device, "S&B <Live> \xC3\xA9") << "Latin-1 becomes UTF-8";
  EXPECT_EQ(file.sets[1].emitters, 64u);
  EXPECT_TRUE(file.sets[1].xRam);
  EXPECT_TRUE(file.sets[1].readings.empty());

  // Today's file, as the benchmark writes it, with no stylesheet line at all.
  std::string today = WrittenResults({{"Empty CPU test", "Fake", 0, {10.5f, 11.25f}}});
  ASSERT_TRUE(ParseResults(today, file, error)) << error;
  EXPECT_EQ(file.sets[0].readings, (std::vector<double>{10.5, 11.25}));
  today.erase(today.find("<?xml-stylesheet"), today.find("<TestResults>") - today.find("<?xml-stylesheet"));
  EXPECT_TRUE(ParseResults(today, file, error)) << error;
}

TEST(ResultsReader, BadInputIsOneLineSayingWhatIsWrong) {
  const std::string tail = "</ResultsSet></TestResults>";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "empty"},
      {"  \n", "empty"},
      {kHead + "<Result><Data>1</Data></Result>", "not a well-formed XML file (line 1: a tag is not closed)"},
      {"<Results/>", "<Results>, not <TestResults>"},
      {"<TestResults><Version>v</Version><CPU>c</CPU></TestResults>", "<CPU> where <DateTime> belongs"},
      {"<TestResults><Version>v</Version><DateTime>d</DateTime><CPU>c</CPU></TestResults>", "no <ResultsSet>"},
      {kHead + "<Result><Data>12,5</Data></Result>" + tail, "reading 1 \"12,5\" is not a number"},
      {kHead + "<Result><Data>1</Data></Result><Result><Data>nan</Data></Result>" + tail,
       "reading 2 \"nan\" is not finite"},
      {kHead + "<Result><Data>1e999</Data></Result>" + tail, "not a number"},
      {kHead + "<Result><Data>1</Data><Data>2</Data></Result>" + tail, "extra <Data>"},
      {kHead + "<Result></Result>" + tail, "<Result> has no <Data>"},
      {kHead + "<Comment>x</Comment>" + tail, "extra <Comment>"},
      {kHead + tail + "<Extra/>", "a second root element"},
      {kHead + "<Result><Data><b>1</b></Data></Result>" + tail, "only text"},
      {"<TestResults><Version>v</Version><DateTime>d</DateTime><CPU>c</CPU><ResultsSet><TestMode>M</TestMode>"
       "<DeviceName>D</DeviceName><nBuffers>-4</nBuffers>" +
           tail,
       "\"-4\" is not a whole number"},
  };
  for (const auto& [input, expected] : cases) {
    ResultsFile file;
    std::string error;
    EXPECT_FALSE(ParseResults(input, file, error)) << input;
    EXPECT_NE(error.find(expected), std::string::npos) << input << "\n -> " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(AnalyzerCommand, BadFilesAreNamedAndTheOthersStillAnalysed) {
  namespace fs = std::filesystem;
  fs::remove_all("mixed");
  fs::create_directories("mixed/empty");
  WriteTextFile("mixed/KV3D_good.xml",
                WrittenResults({{"Empty CPU test", "Fake", 0, {1, 2, 3}}, {"Fake 2D", "Fake", 16, {5, 6, 7}}}));
  WriteTextFile("mixed/KV3D_broken.xml", "<TestResults>\n<Version>v</Version>\n<CPU>c</TestResults>");
  WriteTextFile("mixed/notes.txt", "not results");
  fs::create_directories("mixed/huge");
  std::ofstream("mixed/huge/KV3D_huge.xml").put('<');
  fs::resize_file("mixed/huge/KV3D_huge.xml", 100u * 1024 * 1024);  // sparse: nothing is written

  std::ostringstream out, err;
  EXPECT_EQ(RunAnalyzer({"mixed", "mixed/huge/KV3D_huge.xml", "mixed/empty", "mixed/KV3D_gone.xml"}, out, err), 1);
  const std::string errors = err.str();
  EXPECT_NE(errors.find("KV3D_broken.xml: not a well-formed XML file (line 3: a closing tag does not match"),
            std::string::npos)
      << errors;
  EXPECT_NE(errors.find("KV3D_gone.xml: no such file\n"), std::string::npos) << errors;
  EXPECT_NE(errors.find("KV3D_huge.xml: the file is too large (100 MB"), std::string::npos) << errors;
  EXPECT_NE(errors.find("empty: no results files"), std::string::npos) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 4) << errors;
  EXPECT_TRUE(fs::exists("mixed/KV3D_good.html"));
  EXPECT_TRUE(fs::exists("mixed/dataresults.xsl")) << "written beside a results file that lacks it";
  EXPECT_FALSE(fs::exists("mixed/KV3D_broken.html"));
  const std::string printed = out.str();
  EXPECT_NE(printed.find("measurable cost"), std::string::npos) << printed;
  EXPECT_EQ(printed.substr(printed.rfind("Report: ")),
            "Report: " + (fs::path("mixed") / "KV3D_good.html").string() + "\n");
  fs::remove("mixed/huge/KV3D_huge.xml");

  std::ostringstream out2, err2;
  EXPECT_EQ(RunAnalyzer({}, out2, err2), 2);
  EXPECT_EQ(RunAnalyzer({"--format", "xml", "mixed"}, out2, err2), 2);
  EXPECT_EQ(RunAnalyzer({"--frobnicate", "mixed"}, out2, err2), 2);
}

}  // namespace
