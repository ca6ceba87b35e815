#pragma once
#include <map>
#include <span>
#include <string>
#include <vector>

#include "results/run_record.h"

// A share of the machine split by who used it, in percent of all
// processors: this program, each sound server process by name, the
// kernel's interrupt work, every other process together, and what the
// others leave of the system-wide figure.
struct Parts {
  double program = 0, programUser = 0, programKernel = 0;
  std::map<std::string, double> servers;
  double kernel = 0, other = 0, unexplained = 0;
  // False when the parts do not fit the machine's busy time: they add up to
  // more than it (the process times are not comparable with the kernel's, as
  // under Wine), or the process list misses most of it. The parts are still
  // filled in, but say nothing then.
  bool attributionAvailable = true;
};

// The processes that mix for the system's sound: the sound servers on
// Linux, the audio engine's process on Windows.
std::vector<std::string> DefaultSoundServerNames();
// Case does not matter, nor a ".exe" on either side.
bool IsNamed(const std::string& processName, std::span<const std::string> names);

// The system-wide figure of a test (its readings' mean, 0 without any) split
// into parts from its boundary snapshots. Servers appear by name when one of
// that name ran. Whether the parts can be trusted is judged against the
// snapshots' own busy time (the readings' mean without it), allowing 1 point
// of the machine for processes that ended in between, more where the
// counters' steps are coarse for the test's length.
double SystemFigure(const TestRecord& test);
Parts Attribute(const TestRecord& test, std::span<const std::string> serverNames);

// The other processes that used the most over `tests` together (neither
// this program nor a server), busiest first, at most `count`, in percent of
// the machine over those tests.
struct ProcessShare {
  std::string name;
  double percent = 0;
};
std::vector<ProcessShare> BusiestOtherProcesses(std::span<const TestRecord* const> tests,
                                                std::span<const std::string> serverNames, size_t count);
