#include <gtest/gtest.h>

#include <regex>
#include <string>

#include <tinyxml2.h>

#include "engine_run/xml_reading.h"
#include "platform/files.h"
#include "results/results_document.h"
#include "support/engine/engine_under_test.h"

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
  EXPECT_STREQ(second->Value(), "xml:stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"");

  const XMLElement* root = document.RootElement();
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->Name(), "TestResults");
  EXPECT_EQ(ChildNames(root), (Items{"Version", "DateTime", "CPU", "ResultsSet", "ResultsSet"}));
  EXPECT_STREQ(root->FirstChildElement("Version")->GetText(), "Korvanta 3RUzevo: CPU Utilization test v2.3");
  EXPECT_STREQ(root->FirstChildElement("CPU")->GetText(), t.engine->CpuDescription());
  const std::string dateTime = root->FirstChildElement("DateTime")->GetText();
  EXPECT_TRUE(std::regex_match(
      dateTime, std::regex("[A-Z][a-z]+day,[0-3][0-9],[A-Z][a-z]+,20[0-9][0-9], [0-2][0-9]:[0-5][0-9] [0-5][0-9] (AM|PM)")))
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
