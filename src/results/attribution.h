#pragma once
#include <map>
#include <span>
#include <string>
#include <vector>

#include "results/parts.h"
#include "results/run_record.h"

// The processes that mix for the system's sound: the sound servers on
// Linux, the audio engine's process on Windows.
std::vector<std::string> DefaultSoundServerNames();
// Case does not matter, nor a ".exe" on either side.
bool IsNamed(const std::string& processName, std::span<const std::string> names);

// The system-wide figure of a test (its readings' mean, 0 without any) split
// into parts from its boundary snapshots. Servers appear by name when one of
// that name ran.
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
