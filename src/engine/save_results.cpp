#include <cstdio>
#include <sstream>
#include <string>

#include "cpu/measurement_sources.h"
#include "engine/analyzer_program.h"
#include "engine/benchmark_engine.h"
#include "platform/files.h"
#include "results/debug_log.h"
#include "results/results_file.h"
#include "results/results_file_name.h"
#include "results/results_writer.h"

bool BenchmarkEngine::CanWriteResults(std::string& error) const {
  const platform::PathKind log = platform::KindOfPath(DebugLog::kFileName);
  if (log != platform::PathKind::Missing && log != platform::PathKind::RegularFile) {
    error = std::string("Cannot write the debug log ") + DebugLog::kFileName + ": it is not a file";
    return false;
  }
  // A file made and removed again gives the system's own reason.
  const std::string directory = Sources().resultsDirectory();
  const std::string probe = directory + TemporaryFileName("KV3D_probe");
  std::string why;
  if (!platform::WriteNewFile(probe.c_str(), "", 0, why)) {
    error = "Cannot write results in " + (directory.empty() ? std::string("the current directory") : directory) + " (" +
            probe + "): " + platform::CreationFailureReason(directory.c_str(), why);
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
  const std::string fileName = resultsFileName.empty() ? ResultsFileName(now, batchName) : resultsFileName;
  const std::string dateTime = ResultsDateTimeText(now);

  std::string bytes;
  try {
    char version[128];
    std::snprintf(version, sizeof(version), "Korvanta 3RUzevo: CPU Utilization test %s", kBenchmarkVersion);
    const ResultsHeader header{version, dateTime, cpuDescription};
    std::ostringstream text;
    WriteResults(record, header, text);
    // Byte for byte what a file written in text mode held before.
    bytes = platform::TextFileBytes(text.str());
  } catch (...) {
    hooks.showMessage(window, "Exception (I/O) error (SaveResults).", "Exception error");
    error = "Cannot save " + directory + fileName + ": out of memory";
    return std::string();
  }

  // Written in full beside its final name and then renamed, so no reader
  // ever sees half a file; an earlier file of the same name is never replaced.
  const SavedResultsFile saved = SaveResultsFile(bytes, directory, fileName);
  if (!saved.saved) {
    error = "Cannot save " + saved.path + ": " + platform::CreationFailureReason(directory.c_str(), saved.reason);
    DebugLog::Writef("%s\n", error.c_str());
    const std::string cannotSave = "Cannot save " + saved.path;
    hooks.showMessage(window, cannotSave.c_str(), "Error");
    return std::string();
  }
  if (companionWriter) companionWriter(record, saved.path);
  // The analyzer is a separate program that may not be installed: not an error.
  hooks.startProgram(window, AnalyzerProgram(), saved.path);
  return saved.path;
}
