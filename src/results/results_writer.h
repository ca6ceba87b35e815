#pragma once
#include <ostream>
#include <string>

#include "results/run_record.h"

// What the results file says before its sets: the program's version text,
// the date and time of the save and the processor's description. The texts
// are 8-bit texts of the system or of our tables.
struct ResultsHeader {
  std::string version, dateTime, cpu;
};

// Writes the results file of one run to `out`: the declaration,
// the stylesheet instruction, then "TestResults" with "Version", "DateTime",
// "CPU" and one "ResultsSet" per test that ran, in the order measured, each with one
// "Result" per reading ("%3.8f"). Texts are stored as UTF-8 with what XML
// cannot carry made '?', and markup is escaped. Lines end in "\n": a file
// holds platform::TextFileBytes of this text. Throws what allocation throws.
void WriteResults(const RunRecord& record, const ResultsHeader& header, std::ostream& out);
