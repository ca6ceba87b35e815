// The idle sources' errors on this kernel (Linux): `idle_source_check
// [windows per phase]`. Every source the kernel offers is read at the same
// moments while a known load runs, in two phases: quiet (the check's thread
// only sleeps) and loaded (it spins 40 % of every half second, between two
// sleeps, so every boundary falls in an idle period). Prints, per source
// and phase, the error of a half-second reading and of an 8-second test
// against the known load. Not a test: other work on the machine shows up
// here (as a median above 0, and in the errors); run it on a quiet machine.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

void Phase(const char* title, double busyShare, uint32_t windows, const std::vector<platform::IdleSource>& sources) {
  const platform::KernelFolders folders;
  std::printf("%s (known load %.0f %% of one processor), load average before: %s\n", title, busyShare * 100,
              LoadAverage().c_str());
  const platform::IdleCheckPlan plan{windows, kWindowNs, busyShare};
  const std::vector<platform::IdleCheckPoint> points = platform::SampleIdleSources(sources, folders, plan);
  std::printf("  %-38s %8s %9s %9s %9s %10s %10s %8s\n", "source", "readings", "lowest %", "highest %", "median e",
              "0.5 s err", "8 s err", "trusted");
  for (const platform::IdleSourceJudgement& judged : platform::JudgeIdleSources(points)) {
    std::printf("  %-38s %8u %9.2f %9.2f %9.2f %10.2f %10.2f %8s\n", Name(judged.kind), judged.readings,
                judged.lowestPercent, judged.highestPercent, judged.medianErrorPercent, judged.errorPercent,
                WholeTestError(points, judged.kind, judged.medianErrorPercent), judged.trusted ? "yes" : "no");
  }
}

}  // namespace

int main(int argc, char** argv) {
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
