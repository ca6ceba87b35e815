#include <cstdio>
#include <string>

#include "cpu/measurement_sources.h"
#include "engine/analyzer_program.h"
#include "engine/benchmark_engine.h"
#include "platform/files.h"
#include "platform/process.h"
#include "results/debug_log.h"
#include "results/results_document.h"

namespace {

// A second file of the same second gets "-2", then "-3", ... before ".xml".
std::string WithCounter(const std::string& name, int counter) {
  if (counter == 1) return name;
  const size_t dot = name.rfind(".xml");
  return name.substr(0, dot) + "-" + std::to_string(counter) + name.substr(dot);
}

std::string Decimal(uint32_t value) { return std::to_string(value); }

void AddSet(ResultsDocument& document, std::vector<tinyxml2::XMLElement*>& sets, const TestRecord& test) {
  tinyxml2::XMLElement* set = document.NewResultsSet();
  ResultsDocument::AddText(set, "TestMode", test.mode);
  ResultsDocument::AddText(set, "DeviceName", test.deviceName.c_str());
  ResultsDocument::AddText(set, "nBuffers", Decimal(test.emitters).c_str());
  ResultsDocument::AddText(set, "SampleRate", Decimal(test.sampleRate).c_str());
  ResultsDocument::AddText(set, "X-RAM", test.xRam ? "On" : "Off");
  ResultsDocument::AddReadings(set, test.readings);
  sets.push_back(set);
}

std::string Unique(const char* what) {
  return std::string(what) + "." + std::to_string(platform::CurrentProcessId()) + ".tmp";
}

}  // namespace

bool BenchmarkEngine::CanWriteResults(std::string& error) const {
  const platform::PathKind log = platform::KindOfPath(DebugLog::kFileName);
  if (log != platform::PathKind::Missing && log != platform::PathKind::RegularFile) {
    error = std::string("Cannot write the debug log ") + DebugLog::kFileName + ": it is not a file";
    return false;
  }
  // A file made and removed again gives the system's own reason.
  const std::string directory = Sources().resultsDirectory();
  const std::string probe = directory + Unique("KV3D_probe");
  std::string why;
  if (!platform::WriteNewFile(probe.c_str(), "", 0, why)) {
    error = "Cannot write results in " + (directory.empty() ? std::string("the current directory") : directory) + " (" +
            probe + "): " + why;
    return false;
  }
  platform::DeleteFileNamed(probe.c_str());
  if (!platform::AppendPiecesToFile(DebugLog::kFileName, nullptr, nullptr, 0)) {
    error = std::string("Cannot write the debug log ") + DebugLog::kFileName + ": it cannot be opened for writing";
    return false;
  }
  return true;
}

std::string BenchmarkEngine::SaveResults(const RunRecord& record, bool batchName, std::string& error) {
  const MeasurementSources& sources = Sources();
  // One reading of the clock for the name and the document, so a save at
  // midnight cannot mix two days.
  const platform::LocalDateTime now = sources.readLocalDateTime();
  const std::string directory = sources.resultsDirectory();
  const std::string fileName = ResultsFileName(now, batchName);
  const std::string dateTime = ResultsDateTimeText(now);

  auto fail = [&](const std::string& path, const std::string& why) {
    error = "Cannot save " + path + ": " + why;
    DebugLog::Writef("%s\n", error.c_str());
    const std::string cannotSave = "Cannot save " + path;
    hooks.showMessage(window, cannotSave.c_str(), "Error");
    return std::string();
  };

  std::string text;
  try {
    ResultsDocument document;
    std::vector<tinyxml2::XMLElement*> sets;
    for (const TestRecord& test : record.tests) {
      if (test.ran) AddSet(document, sets, test);
    }
    char version[128];
    std::snprintf(version, sizeof(version), "Korvanta 3RUzevo: CPU Utilization test %s", kBenchmarkVersion);
    ResultsDocument::Assemble(document.Xml(), version, dateTime.c_str(), cpuDescription, sets);
    // Byte for byte what a file written in text mode held before.
    text = platform::TextFileBytes(ResultsDocument::Print(document.Xml()));
  } catch (...) {
    hooks.showMessage(window, "Exception (I/O) error (SaveResults).", "Exception error");
    error = "Cannot save " + directory + fileName + ": out of memory";
    return std::string();
  }

  // Written in full beside its final name and then renamed, so no reader
  // ever sees half a file; an earlier file of the same name is never replaced.
  const std::string temporary = directory + Unique(fileName.c_str());
  std::string why;
  if (!platform::WriteNewFile(temporary.c_str(), text.data(), text.size(), why)) {
    return fail(directory + fileName, why);
  }
  for (int counter = 1; counter <= 999; ++counter) {
    const std::string path = directory + WithCounter(fileName, counter);
    bool taken = false;
    if (platform::RenameWithoutReplacing(temporary.c_str(), path.c_str(), taken, why)) {
      // The analyzer is a separate program that may not be installed: not an error.
      hooks.startProgram(window, AnalyzerProgram(), path);
      return path;
    }
    if (!taken) {
      platform::DeleteFileNamed(temporary.c_str());
      return fail(path, why);
    }
  }
  platform::DeleteFileNamed(temporary.c_str());
  return fail(directory + fileName, "999 files of that name exist");
}
