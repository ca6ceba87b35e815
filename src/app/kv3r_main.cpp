// kv3r: the console front end of the benchmark.
#include <CLI/CLI.hpp>

#include <atomic>
#include <memory>
#include <iostream>

#include "app/analyzer_answer.h"
#include "app/devices_command.h"
#include "app/exit_code_help.h"
#include "app/help_formatter.h"
#include "app/library_messages.h"
#include "app/openal_driver_option.h"
#include "app/run_command.h"
#include "app/run_options.h"
#include "app/sweep_command.h"
#include "sweep/sweep_runner.h"
#include "app/xaudio_output_option.h"
#include "platform/process.h"
#include "cpu/driver_file.h"
#include "engine/benchmark_engine.h"
#include "platform/error_capture.h"
#include "platform/interrupt.h"
#include "platform/terminal.h"
#include "results/debug_log.h"
#include "ui/console_status_window.h"


namespace {

// A command's own footer, then the codes it can end with.
void AddExitCodes(CLI::App& command, unsigned bit) {
  const std::string own = command.get_footer();
  command.footer((own.empty() ? std::string() : own + "\n\n") + ExitCodeHelp(bit));
}

// CLI11 only says that a command is required: name the word it did not know.
bool SayUnknownCommand(CLI::App& app) {
  if (!app.get_subcommands().empty()) return false;
  for (const std::string& word : app.remaining()) {
    if (word.empty() || word[0] == '-') continue;
    std::cerr << "Unknown command: " << word << "\nCommands:";
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
      std::cerr << ' ' << command->get_name();
    }
    std::cerr << "\nRun with --help for more information.\n";
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Korvanta 3RUzevo: how much processor time does playing many 3D sounds cost?", "kv3r"};
  app.set_version_flag("--version", "kv3r " KV3R_VERSION_TEXT);
  app.require_subcommand(1);
  // Before the commands, which take it over.
  app.formatter(std::make_shared<HelpFormatter>());
  OpenALOutputOption openALOutput;
  AddOpenALOutputOption(app, openALOutput);
  XAudioOutputOption xaudioOutput;
  AddXAudioOutputOption(app, xaudioOutput);

  bool report = false;
  CLI::App* devices = app.add_subcommand("devices", "List the audio back ends and devices the engine found");
  devices->add_flag("--report", report, "Also print each device's feature report");
  AddExitCodes(*devices, kCommandDevices);

  RunOptions runOptions;
  CLI::App* run = app.add_subcommand("run", "Measure the empty baseline and each chosen mode once");
  AddRunOptions(*run, runOptions);
  // A sweep's parent names each child's results file (the sweep runner's contract).
  run->add_option(sweep::kResultsFileOption, runOptions.resultsFile,
                  "Save the results file under this name in the current folder (it must not exist) instead of "
                  "KV3D_<date>_<time>.xml; its companion takes the same name with .json");
  AddExitCodes(*run, kCommandRun);
  RunOptions batchOptions;
  CLI::App* batch = app.add_subcommand(
      "batch",
      "Runs with 8, 16, 24 and 32 emitters, one after another, and with 60 where the device has more than 32 "
      "hardware 3D buffers");
  AddRunOptions(*batch, batchOptions, true);
  AddExitCodes(*batch, kCommandBatch);
  SweepOptions sweepOptions;
  CLI::App* sweep = app.add_subcommand(
      "sweep", "OpenAL Soft's settings and outputs against emitter counts: the cost of one emitter in each");
  AddSweepOptions(*sweep, sweepOptions);
  AddExitCodes(*sweep, kCommandSweep);
  // After the commands, which would take these over as their own.
  app.footer(ExitCodeHelp(kEveryCommand));
  // Every command's options in one text, for the man page.
  app.set_help_all_flag("--help-all", "Print the help of every command and exit");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    if (!SayUnknownCommand(app)) app.exit(e);
    return kExitUsage;
  }
  std::atomic<bool> stopRequested{false};
  // Before the sweep too: its children inherit the choice.
  ApplyXAudioOutputOption(xaudioOutput);
  if (*sweep) {
    // Every run is a child kv3r, which loads the library afresh with its settings.
    platform::CatchInterruptions(stopRequested);
    sweepOptions.xaudioOutput = xaudioOutput.name;
    return RunSweepCommand(sweepOptions, platform::ExecutableDirectory() + KV3R_PROGRAM_FILE, openALOutput.name,
                           stopRequested, std::cout, std::cerr);
  }
  if (!ApplyOpenALOutputOption(openALOutput, std::cout, std::cerr)) return kExitNothingSaved;

  // Every start begins a new debug log.
  DebugLog::Delete();
  WriteDriverFile(nullptr);  // Windows only; its result does not matter
  // Looking for devices, the sound libraries talk on the standard error.
  platform::BeginErrorCapture();
  BenchmarkEngine engine(nullptr, nullptr);
  KeepLibraryMessages(platform::EndErrorCapture(), std::cerr);
  engine.SetStatusWindow(std::make_unique<ConsoleStatusWindow>(std::cout, platform::IsStandardOutputTerminal()));
  // The first Ctrl-C ends the test at its next reading and saves what was measured.
  platform::CatchInterruptions(stopRequested);
  // A second Ctrl-C ends kv3r at once: the settings file goes with it.
  platform::RemoveOnForcedExit(openALOutput.configFile.c_str());
  engine.SetStopFlag(&stopRequested);
  // The analyzer runs to its end, so its answer follows each results file.
  AnalyzerAnswer answer;
  EngineHooks hooks = EngineHooks::Real();
  hooks.startProgram = [&answer](platform::WindowHandle parent, const std::string& program, const std::string& file) {
    return answer.Run(parent, program, file);
  };
  engine.SetHooks(hooks);
  int status = 0;
  if (*devices) ListDevices(engine, report, std::cout);
  if (*run)
    status =
        RunBenchmarkCommand(engine, runOptions, false, std::cout, std::cerr, &platform::InterruptionExitCode, &answer);
  if (*batch)
    status =
        RunBenchmarkCommand(engine, batchOptions, true, std::cout, std::cerr, &platform::InterruptionExitCode, &answer);
  DeleteDriverFile();
  return status;
}
