// CDSoundOutput::GetFeatureReport: the selected device's capabilities as the
// dialog shows them, from the values read at construction.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "output/dsound/dsound_output.h"

namespace {

// The dialog's buffer holds 4096 bytes; a report never writes past them.
constexpr size_t kReportBufferSize = 4096;

__attribute__((format(printf, 2, 3))) void Append(char* text, const char* format, ...) {
  const size_t used = std::strlen(text);
  if (used + 1 >= kReportBufferSize) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(text + used, kReportBufferSize - used, format, args);
  va_end(args);
}

void AppendCount(char* text, const char* field, DWORD value) {
  Append(text, "  %s %d \n", field, static_cast<int>(value));
}

}  // namespace

void CDSoundOutput::GetFeatureReport(char* text) {
  if (text == nullptr || !IsDevice(selectedDevice)) return;
  const int device = selectedDevice;
  const DSCAPS& caps = devices[device].caps;
  Append(text, "Device: %s\n\n", devices[device].displayName);
  Append(text, "Features:\n");
  Append(text, GetFeature(device, Hardware2D) ? "DirectSound 2D Hardware: Yes\n"
                                              : "Device has not enough hardware 2D buffers\n");
  Append(text, GetFeature(device, Hardware3D) ? "DirectSound 3D Hardware: Yes\n"
                                              : "Device has not enough hardware 3D buffers\n");
  Append(text, GetFeature(device, Eax10) ? "EAX 1.0: Available \n" : "EAX 1.0: N/A\n");
  Append(text, GetFeature(device, Eax20) ? "EAX 2.0: Available \n" : "EAX 2.0: N/A\n");
  Append(text, GetFeature(device, Eax30) ? "EAX 3.0: Available \n" : "EAX 3.0: N/A\n");
  Append(text, GetFeature(device, Eax40) ? "EAX 4.0: Available\n" : "EAX 4.0: N/A\n");
  Append(text, GetFeature(device, Eax50) ? "EAX 5.0: Available\n" : "EAX 5.0: N/A\n");

  Append(text, "\n\nRates:\n");
  AppendCount(text, "dwMinSecondarySampleRate", caps.dwMinSecondarySampleRate);
  AppendCount(text, "dwMaxSecondarySampleRate", caps.dwMaxSecondarySampleRate);

  Append(text, "\n\nFree buffers stats:\n");
  AppendCount(text, "dwFreeHw3DAllBuffers", caps.dwFreeHw3DAllBuffers);
  AppendCount(text, "dwFreeHw3DStaticBuffers", caps.dwFreeHw3DStaticBuffers);
  AppendCount(text, "dwFreeHw3DStreamingBuffers", caps.dwFreeHw3DStreamingBuffers);
  AppendCount(text, "dwFreeHwMixingAllBuffers", caps.dwFreeHwMixingAllBuffers);
  AppendCount(text, "dwFreeHwMixingStaticBuffers", caps.dwFreeHwMixingStaticBuffers);
  AppendCount(text, "dwFreeHwMixingStreamingBuffers", caps.dwFreeHwMixingStreamingBuffers);

  Append(text, "\n\nMax buffers stats:\n");
  AppendCount(text, "dwMaxHwMixingAllBuffers", caps.dwMaxHwMixingAllBuffers);
  AppendCount(text, "dwMaxHwMixingStaticBuffers", caps.dwMaxHwMixingStaticBuffers);
  AppendCount(text, "dwMaxHwMixingStreamingBuffers", caps.dwMaxHwMixingStreamingBuffers);
  AppendCount(text, "dwMaxHw3DAllBuffers", caps.dwMaxHw3DAllBuffers);
  AppendCount(text, "dwMaxHw3DStaticBuffers", caps.dwMaxHw3DStaticBuffers);
  AppendCount(text, "dwMaxHw3DStreamingBuffers", caps.dwMaxHw3DStreamingBuffers);

  Append(text, "\n\nMisc stats:\n");
  AppendCount(text, "dwFreeHwMemBytes", caps.dwFreeHwMemBytes);
  AppendCount(text, "dwTotalHwMemBytes", caps.dwTotalHwMemBytes);
  AppendCount(text, "dwMaxContigFreeHwMemBytes", caps.dwMaxContigFreeHwMemBytes);
  AppendCount(text, "dwUnlockTransferRateHwBuffers", caps.dwUnlockTransferRateHwBuffers);
  AppendCount(text, "dwPlayCpuOverheadSwBuffers", caps.dwPlayCpuOverheadSwBuffers);
}
