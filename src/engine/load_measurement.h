#pragma once
#include <cstdint>
#include <string>

#include "engine/run_parts.h"
#include "engine/test_settings.h"
#include "output/abstract_output.h"
#include "results/run_record.h"

class CpuLoadMeter;

// The wait before every test's measured period, for the machine to settle.
inline constexpr uint32_t kSettlingMs = 2000;

// The two load tests of a run. Each measures `durationMs` after a settling
// wait into `record`, reading `meter` every half second; the empty test
// plays nothing, the sound test plays the run's emitters in `mode` on the
// parts' back end while the AudioThread moves them. A test whose device
// goes away (asked at every step and reading) ends at once with what it
// has, marked; `loss`, when given, then says when.
void MeasureEmptyLoad(const RunParts& parts, uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter,
                      TestRecord& record, DeviceLoss* loss = nullptr);
void MeasureSoundLoad(const RunParts& parts, uint32_t durationMs, const TestSettings& run, SoundMode mode,
                      CpuLoadMeter& meter, TestRecord& record, DeviceLoss* loss = nullptr);

// A sound test's "TestMode" text: "JACK 2D", "OpenAL 3D hardware", ...
std::string TestModeText(SoundMode mode, const char* backEnd);
