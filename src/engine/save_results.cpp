#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/analyzer_program.h"
#include "engine/benchmark_engine.h"
#include "platform/date_time.h"
#include "results/results_document.h"

void BenchmarkEngine::SaveResults(const TestSettings& run, tinyxml2::XMLElement* emptySet,
                                  tinyxml2::XMLElement* set2D, tinyxml2::XMLElement* set3DHardware,
                                  tinyxml2::XMLElement* set3DHardwareEax, bool batchName) {
  // One reading of the clock for the name and the document, so a save at
  // midnight cannot mix two days.
  const platform::LocalDateTime now = platform::ReadLocalDateTime();
  const std::string fileName = ResultsFileName(now, batchName);
  const std::string dateTime = ResultsDateTimeText(now);

  // A file that is not there is fine; one that is there and stays is not.
  std::error_code removeError;
  std::filesystem::remove(std::filesystem::path(fileName), removeError);
  if (removeError) {
    const std::string text = removeError.message();
    hooks.showMessage(window, text.c_str(), "Error");
    return;
  }

  try {
    tinyxml2::XMLDocument& document = *emptySet->GetDocument();
    tinyxml2::XMLElement* sets[] = {emptySet, run.test2D != 0 ? set2D : nullptr,
                                    run.test3DHardware != 0 ? set3DHardware : nullptr,
                                    run.test3DHardwareEax != 0 ? set3DHardwareEax : nullptr};
    char version[128];
    std::snprintf(version, sizeof(version), "Korvanta 3RUzevo: CPU Utilization test %s", kBenchmarkVersion);
    ResultsDocument::Assemble(document, version, dateTime.c_str(), cpuDescription, sets);

    const std::string cannotSave = "Cannot save " + fileName;
    if (ResultsDocument::Save(document, fileName.c_str())) {
      lastResultsFile = fileName;
      // The analyzer is a separate program that may not be installed: not an error.
      hooks.startProgram(window, AnalyzerProgram(), fileName);
    } else {
      hooks.showMessage(window, cannotSave.c_str(), "Error");
    }
  } catch (...) {
    hooks.showMessage(window, "Exception (I/O) error (SaveResults).", "Exception error");
  }
}
