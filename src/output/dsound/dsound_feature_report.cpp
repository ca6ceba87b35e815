// A DirectSound device's feature report.
#include "output/dsound/dsound_feature_report.h"

#include "output/feature_report_text.h"

namespace {

void AppendCount(FeatureReportText& report, const char* field, DWORD value) {
  report.Append("  %s %d \n", field, static_cast<int>(value));
}

}  // namespace

void AppendDSoundFeatureReport(char* text, const DSoundDeviceInfo& device) {
  FeatureReportText report(text);
  const DSCAPS& caps = device.caps;
  report.Append("Device: %s\n\n", device.displayName);
  report.Append("Features:\n");
  report.Append(DSoundDeviceFeature(device, Hardware2D) ? "DirectSound 2D Hardware: Yes\n"
                                                        : "Device has not enough hardware 2D buffers\n");
  report.Append(DSoundDeviceFeature(device, Hardware3D) ? "DirectSound 3D Hardware: Yes\n"
                                                        : "Device has not enough hardware 3D buffers\n");
  report.Append(DSoundDeviceFeature(device, Eax10) ? "EAX 1.0: Available \n" : "EAX 1.0: N/A\n");
  report.Append(DSoundDeviceFeature(device, Eax20) ? "EAX 2.0: Available \n" : "EAX 2.0: N/A\n");
  report.Append(DSoundDeviceFeature(device, Eax30) ? "EAX 3.0: Available \n" : "EAX 3.0: N/A\n");
  report.Append(DSoundDeviceFeature(device, Eax40) ? "EAX 4.0: Available\n" : "EAX 4.0: N/A\n");
  report.Append(DSoundDeviceFeature(device, Eax50) ? "EAX 5.0: Available\n" : "EAX 5.0: N/A\n");

  report.Append("\n\nRates:\n");
  AppendCount(report, "dwMinSecondarySampleRate", caps.dwMinSecondarySampleRate);
  AppendCount(report, "dwMaxSecondarySampleRate", caps.dwMaxSecondarySampleRate);

  report.Append("\n\nFree buffers stats:\n");
  AppendCount(report, "dwFreeHw3DAllBuffers", caps.dwFreeHw3DAllBuffers);
  AppendCount(report, "dwFreeHw3DStaticBuffers", caps.dwFreeHw3DStaticBuffers);
  AppendCount(report, "dwFreeHw3DStreamingBuffers", caps.dwFreeHw3DStreamingBuffers);
  AppendCount(report, "dwFreeHwMixingAllBuffers", caps.dwFreeHwMixingAllBuffers);
  AppendCount(report, "dwFreeHwMixingStaticBuffers", caps.dwFreeHwMixingStaticBuffers);
  AppendCount(report, "dwFreeHwMixingStreamingBuffers", caps.dwFreeHwMixingStreamingBuffers);

  report.Append("\n\nMax buffers stats:\n");
  AppendCount(report, "dwMaxHwMixingAllBuffers", caps.dwMaxHwMixingAllBuffers);
  AppendCount(report, "dwMaxHwMixingStaticBuffers", caps.dwMaxHwMixingStaticBuffers);
  AppendCount(report, "dwMaxHwMixingStreamingBuffers", caps.dwMaxHwMixingStreamingBuffers);
  AppendCount(report, "dwMaxHw3DAllBuffers", caps.dwMaxHw3DAllBuffers);
  AppendCount(report, "dwMaxHw3DStaticBuffers", caps.dwMaxHw3DStaticBuffers);
  AppendCount(report, "dwMaxHw3DStreamingBuffers", caps.dwMaxHw3DStreamingBuffers);

  report.Append("\n\nMisc stats:\n");
  AppendCount(report, "dwFreeHwMemBytes", caps.dwFreeHwMemBytes);
  AppendCount(report, "dwTotalHwMemBytes", caps.dwTotalHwMemBytes);
  AppendCount(report, "dwMaxContigFreeHwMemBytes", caps.dwMaxContigFreeHwMemBytes);
  AppendCount(report, "dwUnlockTransferRateHwBuffers", caps.dwUnlockTransferRateHwBuffers);
  AppendCount(report, "dwPlayCpuOverheadSwBuffers", caps.dwPlayCpuOverheadSwBuffers);
}
