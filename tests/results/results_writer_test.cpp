#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

#include <tinyxml2.h>

#include "support/results/xml_reading.h"
#include "platform/files.h"
#include "platform/process.h"
#include "results/results_elements.h"
#include "results/results_file.h"
#include "results/results_file_name.h"
#include "results/results_writer.h"
#include "results/xml_text.h"
#include "support/engine/engine_under_test.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using Items = std::vector<std::string>;
using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

std::vector<std::string> ChildNames(const XMLElement* parent) {
  std::vector<std::string> names;
  for (const XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement()) {
    names.push_back(child->Name());
  }
  return names;
}

const ResultsHeader kHeader{"Korvanta 3RUzevo: CPU Utilization test v2.3", "Tuesday,08,December,2026, 13:05 07 PM",
                            "Intel Pentium 4 Northwood 2400.00 Mhz"};

TestRecord RanTest(const char* mode, const std::string& device, uint32_t emitters, uint32_t sampleRate,
                   std::vector<float> readings) {
  TestRecord test;
  test.ran = true;
  std::snprintf(test.mode, sizeof(test.mode), "%s", mode);
  test.deviceName = device;
  test.emitters = emitters;
  test.sampleRate = sampleRate;
  test.readings = std::move(readings);
  return test;
}

std::string Written(const RunRecord& record, const ResultsHeader& header = kHeader) {
  std::ostringstream out;
  WriteResults(record, header, out);
  return out.str();
}

// Runs the engine once on the virtual clock and returns the file's name.
std::string RunOnce(EngineUnderTest& t, bool with2D, bool with3D, bool withEax, uint32_t seconds = 1) {
  TestSettings run = EngineUnderTest::Settings();
  run.test2D = with2D;
  run.test3DHardware = with3D;
  run.test3DHardwareEax = withEax;
  run.benchmarkSeconds = seconds;
  return t.engine->RunTests(run).resultsFile;
}

TEST(ResultsFile, A2DRunIsReadBackWithEveryElementInOrder) {
  EngineUnderTest t(0, "Speakers & <Phones>");
  const std::string file = RunOnce(t, true, false, false);
  ASSERT_FALSE(file.empty());

  XMLDocument document;
  ASSERT_EQ(document.LoadFile(file.c_str()), tinyxml2::XML_SUCCESS);
  const tinyxml2::XMLNode* first = document.FirstChild();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->ToDeclaration(), nullptr);
  EXPECT_STREQ(first->Value(), "xml version=\"1.0\"");
  const tinyxml2::XMLNode* second = first->NextSibling();
  ASSERT_NE(second, nullptr);
  ASSERT_NE(second->ToDeclaration(), nullptr) << "the stylesheet instruction is a <? ?> node";
  EXPECT_STREQ(second->Value(), "xml-stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"");

  const XMLElement* root = document.RootElement();
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->Name(), "TestResults");
  EXPECT_EQ(ChildNames(root), (Items{"Version", "DateTime", "CPU", "ResultsSet", "ResultsSet"}));
  EXPECT_STREQ(root->FirstChildElement("Version")->GetText(), "Korvanta 3RUzevo: CPU Utilization test v2.3");
  EXPECT_STREQ(root->FirstChildElement("CPU")->GetText(), t.engine->CpuDescription());
  const std::string dateTime = root->FirstChildElement("DateTime")->GetText();
  EXPECT_TRUE(std::regex_match(
      dateTime,
      std::regex("[A-Z][a-z]+day,[0-3][0-9],[A-Z][a-z]+,20[0-9][0-9], [0-2][0-9]:[0-5][0-9] [0-5][0-9] (AM|PM)")))
      << dateTime;

  const XMLElement* empty = root->FirstChildElement("ResultsSet");
  const XMLElement* sound = empty->NextSiblingElement("ResultsSet");
  EXPECT_EQ(SetContents(empty), (Items{"TestMode=Empty CPU test", "DeviceName=Speakers & <Phones>", "nBuffers=0",
                                       "SampleRate=0", "X-RAM=Off", "Result=10.50000000", "Result=11.50000000"}));
  EXPECT_EQ(SetContents(sound), (Items{"TestMode=Fake 2D", "DeviceName=Speakers & <Phones>", "nBuffers=16",
                                       "SampleRate=44100", "X-RAM=Off", "Result=12.50000000", "Result=13.50000000"}));
  for (const XMLElement* result = sound->FirstChildElement("Result"); result;
       result = result->NextSiblingElement("Result")) {
    EXPECT_EQ(ChildNames(result), (Items{"Data"})) << "exactly one Data per Result";
  }

  std::string raw;
  ASSERT_TRUE(platform::ReadWholeFile(file.c_str(), raw));
  EXPECT_NE(raw.find("Speakers &amp; &lt;Phones&gt;"), std::string::npos) << "markup is escaped";
  EXPECT_EQ(raw.find("encoding"), std::string::npos);
  platform::DeleteFileNamed(file.c_str());
}

TEST(ResultsFile, ChosenSetsAppearInTheirFixedOrder) {
  EngineUnderTest t(8);
  const std::string file = RunOnce(t, false, true, true);
  XMLDocument document;
  ASSERT_EQ(document.LoadFile(file.c_str()), tinyxml2::XML_SUCCESS);
  Items modes;
  for (const XMLElement* set = document.RootElement()->FirstChildElement("ResultsSet"); set;
       set = set->NextSiblingElement("ResultsSet")) {
    modes.push_back(set->FirstChildElement("TestMode")->GetText());
  }
  EXPECT_EQ(modes, (Items{"Empty CPU test", "Fake 3D hardware", "Fake 3D hardware + EAX"}));
  platform::DeleteFileNamed(file.c_str());
}

TEST(ResultsWriter, ReadingsAreWrittenWithEightDecimals) {
  RunRecord record;
  record.tests[RunRecord::kEmptySlot] = RanTest("Empty CPU test", "Card", 0, 0, {0.0f, 100.0f, 3.25f, 0.125f, -2.5f});
  XMLDocument document;
  const std::string text = Written(record);
  ASSERT_EQ(document.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS);
  const XMLElement* set = document.RootElement()->FirstChildElement("ResultsSet");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(SetContents(set), (Items{"TestMode=Empty CPU test", "DeviceName=Card", "nBuffers=0", "SampleRate=0",
                                     "X-RAM=Off", "Result=0.00000000", "Result=100.00000000", "Result=3.25000000",
                                     "Result=0.12500000", "Result=-2.50000000"}));
}

TEST(ResultsWriter, OnlyTestsThatRanAppearInSlotOrderReadBackByARealParser) {
  RunRecord record;
  record.tests[RunRecord::SlotOf(3)] = RanTest("OpenAL 3D hardware + EAX", "Card", 32, 48000, {7.5f});
  record.tests[RunRecord::SlotOf(3)].xRam = true;
  record.tests[RunRecord::kEmptySlot] = RanTest("Empty CPU test", "Card", 0, 0, {1.5f});
  record.tests[RunRecord::SlotOf(1)] = RanTest("OpenAL 3D software", "Card", 32, 48000, {});
  // Filled in but never started: not written.
  record.tests[RunRecord::SlotOf(0)] = RanTest("OpenAL 2D", "Card", 32, 48000, {9.0f});
  record.tests[RunRecord::SlotOf(0)].ran = false;

  XMLDocument document;
  const std::string text = Written(record);
  ASSERT_EQ(document.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS);
  const XMLElement* root = document.RootElement();
  EXPECT_STREQ(root->Name(), results_elements::kTestResults);
  EXPECT_EQ(ChildNames(root), (Items{"Version", "DateTime", "CPU", "ResultsSet", "ResultsSet", "ResultsSet"}));
  EXPECT_STREQ(root->FirstChildElement("Version")->GetText(), kHeader.version.c_str());
  EXPECT_STREQ(root->FirstChildElement("DateTime")->GetText(), kHeader.dateTime.c_str());
  EXPECT_STREQ(root->FirstChildElement("CPU")->GetText(), kHeader.cpu.c_str());
  const XMLElement* empty = root->FirstChildElement("ResultsSet");
  const XMLElement* software = empty->NextSiblingElement("ResultsSet");
  const XMLElement* eax = software->NextSiblingElement("ResultsSet");
  EXPECT_EQ(SetContents(empty), (Items{"TestMode=Empty CPU test", "DeviceName=Card", "nBuffers=0", "SampleRate=0",
                                       "X-RAM=Off", "Result=1.50000000"}));
  EXPECT_EQ(SetContents(software),
            (Items{"TestMode=OpenAL 3D software", "DeviceName=Card", "nBuffers=32", "SampleRate=48000", "X-RAM=Off"}))
      << "a test that ran with no readings keeps its set";
  EXPECT_EQ(SetContents(eax), (Items{"TestMode=OpenAL 3D hardware + EAX", "DeviceName=Card", "nBuffers=32",
                                     "SampleRate=48000", "X-RAM=On", "Result=7.50000000"}));
  EXPECT_EQ(text.find("OpenAL 2D"), std::string::npos);
}

TEST(ResultsWriter, ARunWithNoTestsIsTheHeaderAlone) {
  EXPECT_EQ(Written(RunRecord{}),
            "<?xml version=\"1.0\"?>\n"
            "<?xml-stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"?>\n"
            "<TestResults>\n"
            "    <Version>Korvanta 3RUzevo: CPU Utilization test v2.3</Version>\n"
            "    <DateTime>Tuesday,08,December,2026, 13:05 07 PM</DateTime>\n"
            "    <CPU>Intel Pentium 4 Northwood 2400.00 Mhz</CPU>\n"
            "</TestResults>\n");
}

// A run of one empty test with the given device name and CPU text, saved as
// `file` the way the engine saves it.
bool SaveWithNames(const char* file, const char* device, const char* cpu) {
  RunRecord record;
  record.tests[RunRecord::kEmptySlot] = RanTest("Empty CPU test", device, 0, 0, {1.5f});
  ResultsHeader header = kHeader;
  header.cpu = cpu;
  const std::string text = platform::TextFileBytes(Written(record, header));
  std::string error;
  platform::DeleteFileNamed(file);
  return platform::WriteNewFile(file, text.data(), text.size(), error);
}

// The text as the system hands it over: in the ANSI code page on Windows
// ("" when that page cannot spell it), UTF-8 on Linux.
std::string SystemText(const char* utf8) {
#ifdef _WIN32
  wchar_t wide[256];
  char ansi[512];
  BOOL lossy = FALSE;
  if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256) == 0 ||
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, ansi, sizeof(ansi), nullptr, &lossy) == 0 || lossy) {
    return std::string();
  }
  return ansi;
#else
  return utf8;
#endif
}

TEST(ResultsWriter, AnAsciiFileKeepsItsExactBytes) {
  ASSERT_TRUE(SaveWithNames("ascii.xml", "Speakers & <Phones>", "Intel Pentium 4 Northwood 2400.00 Mhz"));
  std::string raw;
  ASSERT_TRUE(platform::ReadWholeFile("ascii.xml", raw));
  std::erase(raw, '\r');  // Windows writes its own line ends
  EXPECT_EQ(raw,
            "<?xml version=\"1.0\"?>\n"
            "<?xml-stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"?>\n"
            "<TestResults>\n"
            "    <Version>Korvanta 3RUzevo: CPU Utilization test v2.3</Version>\n"
            "    <DateTime>Tuesday,08,December,2026, 13:05 07 PM</DateTime>\n"
            "    <CPU>Intel Pentium 4 Northwood 2400.00 Mhz</CPU>\n"
            "    <ResultsSet>\n"
            "        <TestMode>Empty CPU test</TestMode>\n"
            "        <DeviceName>Speakers &amp; &lt;Phones&gt;</DeviceName>\n"
            "        <nBuffers>0</nBuffers>\n"
            "        <SampleRate>0</SampleRate>\n"
            "        <X-RAM>Off</X-RAM>\n"
            "        <Result>\n"
            "            <Data>1.50000000</Data>\n"
            "        </Result>\n"
            "    </ResultsSet>\n"
            "</TestResults>\n");
  platform::DeleteFileNamed("ascii.xml");
}

TEST(ResultsWriter, NonAsciiNamesGiveAWellFormedUtf8File) {
  // The K6's micro sign is the single byte 0xB5 of the ANSI code page.
  const char* cpu = "Original OEM AMD K6 (0.30 \xB5m) 300.00 Mhz";
  // Cyrillic needs code page 1251 on Windows; a Western page spells the other.
  std::string device = SystemText("Динамики (High Definition Audio)");
  std::string expected = "Динамики (High Definition Audio)";
  if (device.empty()) {
    device = SystemText("Lautsprecher (Kopfhörer)");
    expected = "Lautsprecher (Kopfhörer)";
  }
  ASSERT_FALSE(device.empty()) << "the ANSI code page spells neither name";
  device += "\x01\tend";  // a control character no XML file may hold, and a tab it may
  expected += "?\tend";
  ASSERT_TRUE(SaveWithNames("names.xml", device.c_str(), cpu));

  XMLDocument document;
  ASSERT_EQ(document.LoadFile("names.xml"), tinyxml2::XML_SUCCESS);
  const XMLElement* root = document.RootElement();
  EXPECT_STREQ(root->FirstChildElement("CPU")->GetText(), "Original OEM AMD K6 (0.30 \xC2\xB5m) 300.00 Mhz");
  EXPECT_EQ(std::string(root->FirstChildElement("ResultsSet")->FirstChildElement("DeviceName")->GetText()), expected);
#ifndef _WIN32
  // Python's parser checks the encoding and the stylesheet instruction's target strictly.
  if (std::system("command -v python3 >/dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system("python3 -c \"import sys, xml.etree.ElementTree as E; "
                          "r = E.parse('names.xml').getroot(); "
                          "sys.exit(r.find('CPU').text != 'Original OEM AMD K6 (0.30 \\u00b5m) 300.00 Mhz')\""),
              0);
  }
#endif
  platform::DeleteFileNamed("names.xml");
}

// The names in `directory`, sorted.
Items FilesIn(const std::string& directory) {
  Items names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// An empty folder of the test's own.
std::string FreshFolder(const char* name) {
  std::filesystem::remove_all(name);
  std::filesystem::create_directories(name);
  return std::string(name) + "/";
}

TEST(ResultsFileSave, TheTemporaryFileIsNamedAfterThisProcess) {
  EXPECT_EQ(TemporaryFileName("KV3D_x.xml"), "KV3D_x.xml." + std::to_string(platform::CurrentProcessId()) + ".tmp");
}

TEST(ResultsFileSave, TheBytesGoUnderTheirNameWithNoTemporaryFileLeft) {
  const std::string folder = FreshFolder("save_once");
  const std::string bytes("<a>\r\n\0b</a>", 11);
  const SavedResultsFile saved = SaveResultsFile(bytes, folder, "KV3D_x.xml");
  ASSERT_TRUE(saved.saved) << saved.reason;
  EXPECT_EQ(saved.path, folder + "KV3D_x.xml");
  EXPECT_EQ(saved.reason, "");
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile(saved.path.c_str(), content));
  EXPECT_EQ(content, bytes) << "the bytes exactly as given";
  EXPECT_EQ(FilesIn(folder), (Items{"KV3D_x.xml"}));
  std::filesystem::remove_all("save_once");
}

TEST(ResultsFileSave, ATakenNameGetsACounterBeforeXmlAndIsNeverReplaced) {
  const std::string folder = FreshFolder("save_again");
  EXPECT_EQ(SaveResultsFile("first", folder, "KV3D_x.xml").path, folder + "KV3D_x.xml");
  EXPECT_EQ(SaveResultsFile("second", folder, "KV3D_x.xml").path, folder + "KV3D_x-2.xml");
  EXPECT_EQ(SaveResultsFile("third", folder, "KV3D_x.xml").path, folder + "KV3D_x-3.xml");
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile((folder + "KV3D_x.xml").c_str(), content));
  EXPECT_EQ(content, "first");
  ASSERT_TRUE(platform::ReadWholeFile((folder + "KV3D_x-3.xml").c_str(), content));
  EXPECT_EQ(content, "third");
  EXPECT_EQ(FilesIn(folder), (Items{"KV3D_x-2.xml", "KV3D_x-3.xml", "KV3D_x.xml"}));
  std::filesystem::remove_all("save_again");
}

TEST(ResultsFileSave, After999FilesOfOneNameItGivesUpAndRemovesItsTemporaryFile) {
  const std::string folder = FreshFolder("save_full");
  std::string why;
  for (int counter = 1; counter <= 999; ++counter) {
    const std::string name = folder + (counter == 1 ? "KV3D_x.xml" : "KV3D_x-" + std::to_string(counter) + ".xml");
    ASSERT_TRUE(platform::WriteNewFile(name.c_str(), "", 0, why)) << why;
  }
  const SavedResultsFile saved = SaveResultsFile("late", folder, "KV3D_x.xml");
  EXPECT_FALSE(saved.saved);
  EXPECT_EQ(saved.path, folder + "KV3D_x.xml");
  EXPECT_EQ(saved.reason, "999 files of that name exist");
  EXPECT_EQ(FilesIn(folder).size(), 999u) << "no temporary file left, nothing replaced";
  std::filesystem::remove_all("save_full");
}

TEST(ResultsFileSave, AFolderThatCannotBeWrittenNamesThePathAndTheSystemsReason) {
  std::filesystem::remove_all("save_missing");
  const SavedResultsFile saved = SaveResultsFile("bytes", "save_missing/", "KV3D_x.xml");
  EXPECT_FALSE(saved.saved);
  EXPECT_EQ(saved.path, "save_missing/KV3D_x.xml");
  EXPECT_FALSE(saved.reason.empty());
  EXPECT_FALSE(std::filesystem::exists("save_missing"));
}

TEST(XmlText, WhatXmlCannotCarryBecomesAQuestionMark) {
  // An overlong slash, a surrogate, a sequence cut short, U+FFFE, then a
  // four-byte character and DEL, which XML accepts.
  EXPECT_EQ(XmlSafeUtf8("a\xC0\xAF"
                        "b\xED\xA0\x80"
                        "c\xE2\x82"
                        "d\xEF\xBF\xBE"
                        "e\xF0\x9F\x8E\xB5\x7F"),
            "a??b???c??d?e\xF0\x9F\x8E\xB5\x7F");
  EXPECT_EQ(XmlSafeUtf8("\r\n\t\x1F"), "\r\n\t?");
}

TEST(ResultsFileName, UsesTheEnglishPicturesOfOneClockReading) {
  // Tuesday, 8 December 2026, 13:05:07.
  const platform::LocalDateTime when{2026, 12, 2, 8, 13, 5, 7, 0};
  EXPECT_EQ(ResultsFileName(when, false), "KV3D_Tuesday_08_December_2026_13_05_07.xml");
  EXPECT_EQ(ResultsFileName(when, true), "Batch_KV3D_Tuesday_08_December_2026_13_05_07.xml");
  EXPECT_EQ(ResultsDateTimeText(when), "Tuesday,08,December,2026, 13:05 07 PM");
  const platform::LocalDateTime justAfterMidnight{2027, 1, 5, 1, 0, 0, 3, 0};
  EXPECT_EQ(ResultsFileName(justAfterMidnight, false), "KV3D_Friday_01_January_2027_00_00_03.xml");
  EXPECT_EQ(ResultsDateTimeText(justAfterMidnight), "Friday,01,January,2027, 00:00 03 AM");
}

}  // namespace
