#include "cpu/measurement_sources.h"

#include <atomic>

#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/processor_timing.h"
#include "platform/system_statistics.h"

namespace {

uint64_t ReadTsc(bool serialised) {
  if (serialised) platform::Cpuid(0);
  return platform::ReadTimeStampCounter();
}

platform::CpuidRegisters CpuidLeaf(uint32_t leaf) { return platform::Cpuid(leaf); }

std::string CurrentDirectory() { return std::string(); }

const MeasurementSources kPlatformSources{platform::QueryPerformanceCounter,
                                          platform::QueryPerformanceFrequency,
                                          ReadTsc,
                                          platform::ProcessorCount,
                                          platform::TickCount,
                                          platform::SleepMilliseconds,
                                          CpuidLeaf,
                                          platform::GetOsPlatformId,
                                          platform::SystemTimesAvailable,
                                          platform::ReadSystemTimes,
                                          platform::ProcessCpuTime100ns,
                                          platform::ReadLocalDateTime,
                                          CurrentDirectory,
                                          platform::ReadMachineSnapshot,
                                          platform::CurrentProcessorMhz};

std::atomic<const MeasurementSources*> current{&kPlatformSources};

}  // namespace

const MeasurementSources& Sources() { return *current.load(std::memory_order_acquire); }

const MeasurementSources& DefaultSources() { return kPlatformSources; }

void SetSourcesForTesting(const MeasurementSources* sources) {
  current.store(sources != nullptr ? sources : &kPlatformSources, std::memory_order_release);
}
