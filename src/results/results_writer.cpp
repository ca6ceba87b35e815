#include "results/results_writer.h"

#include <tinyxml2.h>

#include <cstdio>
#include <span>
#include <string>

#include "results/results_elements.h"
#include "results/xml_text.h"

namespace {

using tinyxml2::XMLElement;
namespace names = results_elements;

// Appends <name>text</name> to `parent`; the 8-bit text is stored as UTF-8
// with what XML cannot carry made '?', and markup is escaped on writing.
void AddText(XMLElement* parent, const char* name, const char* text) {
  XMLElement* element = parent->GetDocument()->NewElement(name);
  element->SetText(XmlTextFromAnsi(text).c_str());
  parent->InsertEndChild(element);
}

// One "Result" holding one "Data" per reading, in the order given.
void AddReadings(XMLElement* set, std::span<const float> readings) {
  char text[64];
  for (const float reading : readings) {
    std::snprintf(text, sizeof(text), names::kReadingPicture, static_cast<double>(reading));
    XMLElement* result = set->GetDocument()->NewElement(names::kResult);
    set->InsertEndChild(result);
    AddText(result, names::kData, text);
  }
}

void AddSet(XMLElement* root, const TestRecord& test) {
  XMLElement* set = root->GetDocument()->NewElement(names::kResultsSet);
  root->InsertEndChild(set);
  AddText(set, names::kTestMode, test.mode);
  AddText(set, names::kDeviceName, test.deviceName.c_str());
  AddText(set, names::kEmitters, std::to_string(test.emitters).c_str());
  AddText(set, names::kSampleRate, std::to_string(test.sampleRate).c_str());
  AddText(set, names::kXRam, test.xRam ? names::kOn : names::kOff);
  AddReadings(set, test.readings);
}

}  // namespace

void WriteResults(const RunRecord& record, const ResultsHeader& header, std::ostream& out) {
  tinyxml2::XMLDocument document;
  // A processing instruction is written the way a declaration is: between "<?" and "?>".
  document.InsertEndChild(document.NewDeclaration(names::kDeclaration));
  document.InsertEndChild(document.NewDeclaration(names::kStylesheetInstruction));
  XMLElement* root = document.NewElement(names::kTestResults);
  document.InsertEndChild(root);
  AddText(root, names::kVersion, header.version.c_str());
  AddText(root, names::kDateTime, header.dateTime.c_str());
  AddText(root, names::kCpu, header.cpu.c_str());
  for (const TestRecord* test : record.Measured()) AddSet(root, *test);
  tinyxml2::XMLPrinter printer;
  document.Print(&printer);
  // The printer counts the terminator in its size.
  const int size = printer.CStrSize();
  out.write(printer.CStr(), size > 0 ? size - 1 : 0);
}
