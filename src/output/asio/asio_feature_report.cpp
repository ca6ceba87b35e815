// An ASIO driver's feature report: its answers, asked anew each time; the
// driver is loaded and unloaded around the queries.
#include "output/asio/asio_feature_report.h"

#include <cstring>

#include "output/asio/asio_host.h"
#include "output/asio/asio_sample_type_name.h"
#include "output/feature_report_text.h"

namespace {

// Each line is formatted into this many bytes first; a report with many
// channels is cut at the report's capacity rather than written past it.
constexpr size_t kLineCapacity = 128;

const char* Supported(bool yes) { return yes ? "supported" : "not supported"; }

void AppendChannels(FeatureReportText& report, long count, ASIOBool isInput) {
  for (long j = 0; j < count; ++j) {
    ASIOChannelInfo info;
    std::memset(&info, 0, sizeof info);
    info.channel = j;
    info.isInput = isInput;
    if (ASIOGetChannelInfo(&info) == ASE_OK) {
      info.name[sizeof info.name - 1] = '\0';
      report.Append(" channel: %d (%s) - %s\n", static_cast<int>(j), info.name, AsioSampleTypeName(info.type));
    } else {
      report.Append(" channel: %d - error\n", static_cast<int>(j));
    }
  }
}

}  // namespace

void AppendAsioFeatureReport(char* text, const AsioDriverRegistry& devices, int device) {
  FeatureReportText report(text, kLineCapacity);
  char shown[kDeviceNameCapacity];
  devices.DriverName(device, shown, static_cast<int>(kDeviceNameCapacity));
  report.Append("Device: %s\n\n", shown);
  report.Append("Features:\n");
  ASIODriverInfo info;
  std::memset(&info, 0, sizeof info);
  if (!OpenAsioDriverOf(devices, device) || ASIOInit(&info) != ASE_OK) return;

  long inputs = 0;
  long outputs = 0;
  if (ASIOGetChannels(&inputs, &outputs) == ASE_OK) {
    report.Append("Input channels: %d\n", static_cast<int>(inputs));
    report.Append("Output channels: %d\n", static_cast<int>(outputs));
  } else {
    inputs = outputs = 0;
    report.Append("Input channels: error\nOutput channels: error\n");
  }
  long inputLatency = 0;
  long outputLatency = 0;
  if (ASIOGetLatencies(&inputLatency, &outputLatency) == ASE_OK) {
    report.Append("Input latency: %d\n", static_cast<int>(inputLatency));
    report.Append("Output latency: %d\n", static_cast<int>(outputLatency));
  } else {
    report.Append("Input latency: error\nOutput latency: error\n");
  }
  long sizes[4] = {};
  if (ASIOGetBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]) == ASE_OK) {
    report.Append("Min buffer size: %d\n", static_cast<int>(sizes[0]));
    report.Append("Max buffer size: %d\n", static_cast<int>(sizes[1]));
    report.Append("Preferred buffer size: %d\n", static_cast<int>(sizes[2]));
    report.Append("Granularity: %d\n", static_cast<int>(sizes[3]));
  } else {
    report.Append(
        "Min buffer size: error\nMax buffer size: error\nPreferred buffer size:error\n"
        "Granularity: error\n");
  }
  report.Append("ASIOOutputReady - %s\n", Supported(ASIOOutputReady() == ASE_OK));

  report.Append("Sample rate:\n");
  report.Append(" 8000 Hz -  %s\n", Supported(ASIOCanSampleRate(8000.0) == ASE_OK));
  static constexpr int kRates[] = {11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
  for (int rate : kRates) {
    report.Append(" %d Hz - %s\n", rate, Supported(ASIOCanSampleRate(rate) == ASE_OK));
  }
  report.Append("Input channels:\n");
  AppendChannels(report, inputs, ASIOTrue);
  report.Append("Output channels:\n");
  AppendChannels(report, outputs, ASIOFalse);
  ASIOExit();
}
