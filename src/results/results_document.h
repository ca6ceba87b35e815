#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string>

#include <tinyxml2.h>

#include "platform/date_time.h"

// One run's XML results: the version, the date and time, the processor and
// one "ResultsSet" per test. The sets are made empty at the start of a run,
// filled by the tests and placed in the document only when it is assembled,
// so a set that is not chosen never appears.
class ResultsDocument {
 public:
  ResultsDocument() = default;
  ResultsDocument(const ResultsDocument&) = delete;
  ResultsDocument& operator=(const ResultsDocument&) = delete;

  // An empty "ResultsSet", owned by this document but not yet placed in it.
  tinyxml2::XMLElement* NewResultsSet();
  // Appends <name>text</name> to `parent`; the 8-bit text is stored as UTF-8
  // with what XML cannot carry made '?', and markup is escaped on writing.
  static void AddText(tinyxml2::XMLElement* parent, const char* name, const char* text);
  // One "Result" holding one "Data" per reading, "%3.8f", in the order given.
  static void AddReadings(tinyxml2::XMLElement* set, std::span<const float> readings);

  // The declaration, the stylesheet instruction, then "TestResults" with
  // "Version", "DateTime", "CPU" and the given sets in order (null ones left out).
  static void Assemble(tinyxml2::XMLDocument& document, const char* version, const char* dateTime, const char* cpu,
                       std::span<tinyxml2::XMLElement* const> sets);
  // The document as the file holds it.
  static std::string Print(const tinyxml2::XMLDocument& document);

  tinyxml2::XMLDocument& Xml() { return document; }

 private:
  tinyxml2::XMLDocument document;
};

// "KV3D_<date>_<time>.xml", or "Batch_KV3D_..." for a batch name, with the
// en-US pictures "dddd_dd_MMMM_yyyy" and "HH_mm_ss".
std::string ResultsFileName(const platform::LocalDateTime& when, bool batchName);
// "<date>, <time>" with "dddd,dd,MMMM,yyyy" and "HH:mm ss tt".
std::string ResultsDateTimeText(const platform::LocalDateTime& when);
