#include "app/sweep_command.h"

#include "app/analyzer_answer.h"
#include "app/sweep_summary.h"
#include "engine/analyzer_program.h"
#include "engine/exit_codes.h"
#include "sweep/openal_settings.h"
#include "sweep/sweep_runner.h"

int RunSweepCommand(const SweepOptions& options, const std::string& self, const std::string& output,
                    const std::atomic<bool>& stopRequested, std::ostream& out, std::ostream& err) {
  std::vector<sweep::SettingChoices> choices;
  if (!ParseSettingChoices(options.openal, options.openal.empty() ? std::string() : sweep::LoadedOpenALLibraryBytes(),
                           choices, err)) {
    return kExitUsage;
  }
  sweep::Reporting reporting;
  reporting.printTable = [&out](const results::Sweep& sweep) { PrintSweepTable(sweep, out); };
  reporting.analyze = [](const std::string& summaryPath) {
    AnalyzerAnswer answer;
    answer.Run(nullptr, AnalyzerProgram(), summaryPath);
    return answer.Last();
  };
  return sweep::RunSweep(options, choices, self, output, stopRequested, reporting, out, err);
}
