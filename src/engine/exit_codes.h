#pragma once
// kv3r's exit codes: the one table its code returns, its --help and man page
// print, and the README's table repeats (a test holds the README to it).

inline constexpr int kExitMeasuredAndSaved = 0;
inline constexpr int kExitNothingSaved = 1;  // nothing measured, or not saved
inline constexpr int kExitUsage = 2;
// Saved, but the machine was saturated: the figures show no cost at all.
inline constexpr int kExitMachineSaturated = 3;
// The shell's codes for a program ended by SIGINT and SIGTERM, used alike on Windows.
inline constexpr int kExitInterrupted = 130;
inline constexpr int kExitTerminated = 143;

// kv3r's commands, as bits: which commands can end with a code.
inline constexpr unsigned kCommandDevices = 1u << 0;
inline constexpr unsigned kCommandRun = 1u << 1;
inline constexpr unsigned kCommandBatch = 1u << 2;
inline constexpr unsigned kCommandSweep = 1u << 3;
inline constexpr unsigned kEveryCommand = kCommandDevices | kCommandRun | kCommandBatch | kCommandSweep;

struct ExitCodeMeaning {
  int code;
  const char* meaning;
  unsigned commands;  // kCommand... bits
};

// In the order --help lists them. A code that means something else for a
// command has a row of its own for it.
inline constexpr ExitCodeMeaning kExitCodeTable[] = {
    {kExitMeasuredAndSaved, "measured, and every results file saved", kCommandRun | kCommandBatch | kCommandSweep},
    {kExitMeasuredAndSaved, "the back ends and their devices listed, also when none has one", kCommandDevices},
    {kExitNothingSaved, "nothing measured, a results file not saved, or the sound server went away during a test",
     kCommandRun | kCommandBatch | kCommandSweep},
    {kExitNothingSaved, "the settings file for --openal-output wave could not be written", kCommandDevices},
    {kExitUsage, "usage error: an unknown command, option, value or device", kEveryCommand},
    {kExitMachineSaturated, "measured and saved, but the machine was saturated: no cost could show",
     kCommandRun | kCommandBatch},
    {kExitInterrupted, "interrupted by Ctrl-C; what was measured is saved", kCommandRun | kCommandBatch | kCommandSweep},
    {kExitTerminated, "ended by SIGTERM; what was measured is saved", kCommandRun | kCommandBatch | kCommandSweep},
};
