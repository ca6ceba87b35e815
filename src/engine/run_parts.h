#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "cpu/measurement_sources.h"
#include "output/abstract_output.h"
#include "platform/types.h"

class AudioThread;
class CpuLoadMeter;
class SampleData;
class StatusWindow;

// What a test run is assembled from. The engine fills it from what it owns;
// a test can assemble one of its own without an engine. Nothing here is
// owned: every part outlives the run.
struct RunParts {
  platform::WindowHandle window = nullptr;      // parent of the status display and the back end
  platform::InstanceHandle instance = nullptr;  // for the status display
  CAbstractOutput* output = nullptr;            // the chosen back end; null: the sound tests play nothing
  AudioThread* audioThread = nullptr;           // null: nothing moves
  SampleData* samples = nullptr;                // the shared sound data, rebuilt by every sound test
  StatusWindow* display = nullptr;
  // While set, a run ends its current test at the next reading. Null: never.
  const std::atomic<bool>* stopFlag = nullptr;
  // The meter of a measuring method (0 PMC, 1 idle thread, 2 NT system
  // info); empty: the method's own.
  std::function<std::unique_ptr<CpuLoadMeter>(uint32_t measuringMethod)> createMeter;
  // Time and processor time as the measuring loop reads them.
  const MeasurementSources* sources = nullptr;

  bool StopRequested() const { return stopFlag != nullptr && stopFlag->load(); }
  // The back end's device went away: the test ends as on a stop, but it is
  // no interruption of the user's.
  bool DeviceGone() const { return output != nullptr && output->DeviceGone(); }
};
