#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include <tinyxml2.h>

#include "engine_run/xml_reading.h"
#include "platform/files.h"
#include "results/results_document.h"
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

TEST(ResultsFile, ReadingsAreWrittenWithEightDecimals) {
  XMLDocument document;
  XMLElement* set = document.NewElement("ResultsSet");
  document.InsertEndChild(set);
  const float readings[] = {0.0f, 100.0f, 3.25f, 0.125f};
  ResultsDocument::AddReadings(set, readings);
  EXPECT_EQ(SetContents(set),
            (Items{"Result=0.00000000", "Result=100.00000000", "Result=3.25000000", "Result=0.12500000"}));
}

// A document of one set with the given device name and CPU text, saved as `file`.
bool SaveWithNames(const char* file, const char* device, const char* cpu) {
  ResultsDocument results;
  XMLElement* set = results.NewResultsSet();
  ResultsDocument::AddText(set, "TestMode", "Empty CPU test");
  ResultsDocument::AddText(set, "DeviceName", device);
  const float readings[] = {1.5f};
  ResultsDocument::AddReadings(set, readings);
  XMLElement* sets[] = {set};
  ResultsDocument::Assemble(results.Xml(), "Korvanta 3RUzevo: CPU Utilization test v2.3",
                            "Tuesday,08,December,2026, 13:05 07 PM", cpu, sets);
  const std::string text = platform::TextFileBytes(ResultsDocument::Print(results.Xml()));
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

TEST(ResultsFile, AnAsciiFileKeepsItsExactBytes) {
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
            "        <Result>\n"
            "            <Data>1.50000000</Data>\n"
            "        </Result>\n"
            "    </ResultsSet>\n"
            "</TestResults>\n");
  platform::DeleteFileNamed("ascii.xml");
}

TEST(ResultsFile, NonAsciiNamesGiveAWellFormedUtf8File) {
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
