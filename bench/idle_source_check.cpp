// The idle sources' errors on this kernel (Linux): `idle_source_check
// [windows per phase]`, or on recorded counters: `idle_source_check --replay
// FILE` (the tab-separated recording of /proc/stat's "cpu" line and each
// processor's cpuidle state times every 100 ms, with the known load's share
// of one processor; its "#" lines are comments, its first line names the
// columns). Every source the kernel offers is read at the same
// moments while a known load runs, in two phases: quiet (the check's thread
// only sleeps) and loaded (it spins 40 % of every half second, between two
// sleeps, so every boundary falls in an idle period). Prints, per source
// and phase, the error of a half-second reading and of an 8-second test
// against the known load. Not a test: other work on the machine shows up
// here (as a median above 0, and in the errors); run it on a quiet machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/idle_source_check_posix.h"

namespace {

constexpr uint64_t kWindowNs = 500000000;
constexpr uint32_t kWindowsPerTest = 16;  // 8 s

const char* Name(platform::IdleSourceKind kind) { return platform::DescribeIdleSource(kind).name; }

std::string LoadAverage() {
  std::string one, five, fifteen;
  std::ifstream("/proc/loadavg") >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// The largest departure of an 8-second test's error from the half-second
// readings' median error (the steady other work).
double WholeTestError(const std::vector<platform::IdleCheckPoint>& points, platform::IdleSourceKind kind,
                      double medianError) {
  double worst = 0;
  for (size_t start = 0; start + kWindowsPerTest < points.size(); start += kWindowsPerTest) {
    double reading = 0, known = 0;
    if (!platform::IdleCheckReading(points[start], points[start + kWindowsPerTest], kind, reading, known)) continue;
    worst = std::max(worst, std::fabs(reading - known - medianError));
  }
  return worst;
}

void PrintTable(const std::vector<platform::IdleCheckPoint>& points) {
  std::printf("  %-38s %8s %9s %9s %9s %10s %10s %8s\n", "source", "readings", "lowest %", "highest %", "median e",
              "0.5 s err", "8 s err", "trusted");
  for (const platform::IdleSourceJudgement& judged : platform::JudgeIdleSources(points)) {
    std::printf("  %-38s %8u %9.2f %9.2f %9.2f %10.2f %10.2f %8s\n", Name(judged.kind), judged.readings,
                judged.lowestPercent, judged.highestPercent, judged.medianErrorPercent, judged.errorPercent,
                WholeTestError(points, judged.kind, judged.medianErrorPercent), judged.trusted ? "yes" : "no");
  }
}

// Half-second points of a recording, one list per known load in it.
int Replay(const char* path) {
  std::ifstream file(path);
  std::string line, header;
  while (std::getline(file, line) && (line.empty() || line[0] == '#')) {
  }
  header = line;
  std::vector<std::string> columns;
  for (std::istringstream names(header); names >> line;) columns.push_back(line);
  std::vector<std::vector<platform::IdleCheckPoint>> phases;
  double phaseLoad = -1, previousLoad = 0;
  uint64_t knownBusyNs = 0, previousNs = 0;
  for (uint32_t row = 0; std::getline(file, line); ++row) {
    std::istringstream fields(line);
    uint64_t ns = 0, statIdle = 0, idleUs = 0;
    double load = 0;
    uint32_t processors = 0;
    std::string value;
    for (size_t column = 0; column < columns.size() && fields >> value; ++column) {
      const std::string& name = columns[column];
      if (name == "t_ns") ns = std::strtoull(value.c_str(), nullptr, 10);
      if (name == "load") load = std::strtod(value.c_str(), nullptr);
      if (name == "stat_idle" || name == "stat_iowait") statIdle += std::strtoull(value.c_str(), nullptr, 10);
      if (name.rfind("idle_us_cpu", 0) == 0) {
        idleUs += std::strtoull(value.c_str(), nullptr, 10);
        processors = std::max<uint32_t>(processors, static_cast<uint32_t>(std::atoi(name.c_str() + 11)) + 1);
      }
    }
    if (row > 0) knownBusyNs += static_cast<uint64_t>(previousLoad * static_cast<double>(ns - previousNs));
    previousNs = ns;
    previousLoad = load;
    if (load != phaseLoad) {
      phases.emplace_back();
      phaseLoad = load;
      row = 0;
    }
    if (row % 5 != 0) continue;
    platform::IdleCheckPoint point;
    point.monotonicNs = ns;
    point.knownBusyNs = knownBusyNs;
    point.times[static_cast<int>(platform::IdleSourceKind::Cpuidle)] = {idleUs * 10, ns / 100, processors};
    point.times[static_cast<int>(platform::IdleSourceKind::ProcStat)] = {statIdle * 100000, ns / 100, processors};
    point.read[static_cast<int>(platform::IdleSourceKind::Cpuidle)] = true;
    point.read[static_cast<int>(platform::IdleSourceKind::ProcStat)] = true;
    phases.back().push_back(point);
  }
  std::printf("Recorded counters from %s, half-second readings; e = reading - known load.\n", path);
  for (const auto& points : phases) {
    std::printf("\nA phase of %zu readings\n", points.empty() ? 0 : points.size() - 1);
    PrintTable(points);
  }
  return phases.empty() ? 1 : 0;
}

void Phase(const char* title, double busyShare, uint32_t windows, const std::vector<platform::IdleSource>& sources) {
  const platform::KernelFolders folders;
  std::printf("%s (known load %.0f %% of one processor), load average before: %s\n", title, busyShare * 100,
              LoadAverage().c_str());
  const platform::IdleCheckPlan plan{windows, kWindowNs, busyShare};
  PrintTable(platform::SampleIdleSources(sources, folders, plan));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--replay") return Replay(argv[2]);
  const uint32_t windows = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 32;
  const std::vector<platform::IdleSource> sources = platform::OfferedIdleSources(platform::KernelFolders{});
  std::printf("Sources offered:");
  for (const platform::IdleSource& source : sources) std::printf(" %s", Name(source.kind));
  std::printf("\nErrors in points of the whole machine; e = reading - known load.\n\n");
  if (sources.empty() || windows < 2) return 1;
  Phase("Quiet", 0.0, windows, sources);
  Phase("Loaded", 0.4, windows, sources);
  return 0;
}
