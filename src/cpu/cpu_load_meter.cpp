#include "cpu/cpu_load_meter.h"

CpuLoadMeter::CpuLoadMeter(bool useIdleThread, bool skipSystemInfo, bool usePmc)
    : skipSystemInfo(skipSystemInfo), useIdleThread(useIdleThread), usePmc(usePmc) {}

CpuLoadMeter::~CpuLoadMeter() = default;

bool CpuLoadMeter::CheckOsVersion() {
  isNt = true;
  return true;
}

CpuLoadMeter::Method CpuLoadMeter::EffectiveMethod() const {
  if (isNt && usePmc) return Method::PerformanceCounters;
  if (isNt && !skipSystemInfo) return Method::SystemStatistics;
  if (useIdleThread) return Method::IdleThread;
  return Method::RegistryStatistics;
}

bool CpuLoadMeter::SetUpCounters() { return false; }
bool CpuLoadMeter::StartIdleThread() { return true; }
bool CpuLoadMeter::SampleIdleThread(float& percent) {
  percent = 0.0f;
  return true;
}

bool CpuLoadMeter::Start() {
  if (EffectiveMethod() == Method::PerformanceCounters && !SetUpCounters()) usePmc = false;
  return true;
}

bool CpuLoadMeter::Sample(float& percent) {
  percent = 0.0f;
  return true;
}

bool CpuLoadMeter::Stop() { return true; }

CpuLoadMeter* CreateMeterForMethod(uint32_t measuringMethod) {
  switch (measuringMethod) {
    case 0: return new CpuLoadMeter(true, true, true);
    case 1: return new CpuLoadMeter(true, true, false);
    default: return new CpuLoadMeter(false, false, false);
  }
}
