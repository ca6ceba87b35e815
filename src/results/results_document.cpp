#include "results/results_document.h"

#include <cstdio>
#include <string>

#include "results/xml_text.h"

using tinyxml2::XMLElement;

XMLElement* ResultsDocument::NewResultsSet() { return document.NewElement("ResultsSet"); }

void ResultsDocument::AddText(XMLElement* parent, const char* name, const char* text) {
  XMLElement* element = parent->GetDocument()->NewElement(name);
  element->SetText(XmlTextFromAnsi(text).c_str());
  parent->InsertEndChild(element);
}

void ResultsDocument::AddReadings(XMLElement* set, std::span<const float> readings) {
  char text[64];
  for (const float reading : readings) {
    std::snprintf(text, sizeof(text), "%3.8f", static_cast<double>(reading));
    XMLElement* result = set->GetDocument()->NewElement("Result");
    set->InsertEndChild(result);
    AddText(result, "Data", text);
  }
}

void ResultsDocument::Assemble(tinyxml2::XMLDocument& document, const char* version, const char* dateTime,
                               const char* cpu, std::span<XMLElement* const> sets) {
  // A bare version declaration: the texts are written as UTF-8, XML's default.
  document.InsertEndChild(document.NewDeclaration("xml version=\"1.0\""));
  // A processing instruction is written the way a declaration is: between "<?" and "?>".
  // Its target has no colon, which namespace-aware parsers refuse.
  document.InsertEndChild(document.NewDeclaration("xml-stylesheet type=\"text/xsl\" href=\"dataresults.xsl\""));
  XMLElement* root = document.NewElement("TestResults");
  document.InsertEndChild(root);
  AddText(root, "Version", version);
  AddText(root, "DateTime", dateTime);
  AddText(root, "CPU", cpu);
  for (XMLElement* set : sets) {
    if (set != nullptr) root->InsertEndChild(set);
  }
}

std::string ResultsDocument::Print(const tinyxml2::XMLDocument& document) {
  tinyxml2::XMLPrinter printer;
  document.Print(&printer);
  // The printer counts the terminator in its size.
  return std::string(printer.CStr(), static_cast<size_t>(printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0));
}

std::string ResultsFileName(const platform::LocalDateTime& when, bool batchName) {
  const std::string date = platform::FormatDate(when, "dddd_dd_MMMM_yyyy");
  const std::string time = platform::FormatTime(when, "HH_mm_ss");
  return (batchName ? "Batch_KV3D_" : "KV3D_") + date + "_" + time + ".xml";
}

std::string ResultsDateTimeText(const platform::LocalDateTime& when) {
  return platform::FormatDate(when, "dddd,dd,MMMM,yyyy") + ", " + platform::FormatTime(when, "HH:mm ss tt");
}
