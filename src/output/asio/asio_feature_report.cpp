// CASIOOutput::GetFeatureReport: the selected driver's answers, asked anew
// each time; the driver is loaded and unloaded around the queries.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "output/asio/asio_host.h"
#include "output/asio/asio_output.h"
#include "output/asio/asio_sample_type_name.h"

namespace {

// The dialog's buffer holds 4096 bytes; a report with many channels is cut
// there rather than written past it.
constexpr size_t kReportBufferSize = 4096;
constexpr size_t kLineSize = 128;

__attribute__((format(printf, 2, 3))) void Append(char* text, const char* format, ...) {
  char line[kLineSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  const size_t used = std::strlen(text);
  const size_t room = kReportBufferSize - 1 - used;
  const size_t length = std::strlen(line);
  const size_t taken = length < room ? length : room;
  std::memcpy(text + used, line, taken);
  text[used + taken] = '\0';
}

const char* Supported(bool yes) { return yes ? "supported" : "not supported"; }

void AppendChannels(char* text, long count, ASIOBool isInput) {
  for (long j = 0; j < count; ++j) {
    ASIOChannelInfo info;
    std::memset(&info, 0, sizeof info);
    info.channel = j;
    info.isInput = isInput;
    if (ASIOGetChannelInfo(&info) == ASE_OK) {
      info.name[sizeof info.name - 1] = '\0';
      Append(text, " channel: %d (%s) - %s\n", static_cast<int>(j), info.name, AsioSampleTypeName(info.type));
    } else {
      Append(text, " channel: %d - error\n", static_cast<int>(j));
    }
  }
}

}  // namespace

void CASIOOutput::GetFeatureReport(char* text) {
  if (text == nullptr) return;
  text[0] = '\0';
  if (!IsDevice(selectedDevice)) return;
  char shown[128];
  devices->DriverName(selectedDevice, shown, 128);
  Append(text, "Device: %s\n\n", shown);
  Append(text, "Features:\n");
  ASIODriverInfo info;
  std::memset(&info, 0, sizeof info);
  if (!LoadDriver(selectedDevice) || ASIOInit(&info) != ASE_OK) return;

  long inputs = 0;
  long outputs = 0;
  if (ASIOGetChannels(&inputs, &outputs) == ASE_OK) {
    Append(text, "Input channels: %d\n", static_cast<int>(inputs));
    Append(text, "Output channels: %d\n", static_cast<int>(outputs));
  } else {
    inputs = outputs = 0;
    Append(text, "Input channels: error\nOutput channels: error\n");
  }
  long inputLatency = 0;
  long outputLatency = 0;
  if (ASIOGetLatencies(&inputLatency, &outputLatency) == ASE_OK) {
    Append(text, "Input latency: %d\n", static_cast<int>(inputLatency));
    Append(text, "Output latency: %d\n", static_cast<int>(outputLatency));
  } else {
    Append(text, "Input latency: error\nOutput latency: error\n");
  }
  long sizes[4] = {};
  if (ASIOGetBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]) == ASE_OK) {
    Append(text, "Min buffer size: %d\n", static_cast<int>(sizes[0]));
    Append(text, "Max buffer size: %d\n", static_cast<int>(sizes[1]));
    Append(text, "Preferred buffer size: %d\n", static_cast<int>(sizes[2]));
    Append(text, "Granularity: %d\n", static_cast<int>(sizes[3]));
  } else {
    Append(text,
           "Min buffer size: error\nMax buffer size: error\nPreferred buffer size:error\n"
           "Granularity: error\n");
  }
  Append(text, "ASIOOutputReady - %s\n", Supported(ASIOOutputReady() == ASE_OK));

  Append(text, "Sample rate:\n");
  Append(text, " 8000 Hz -  %s\n", Supported(ASIOCanSampleRate(8000.0) == ASE_OK));
  static constexpr int kRates[] = {11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
  for (int rate : kRates) {
    Append(text, " %d Hz - %s\n", rate, Supported(ASIOCanSampleRate(rate) == ASE_OK));
  }
  Append(text, "Input channels:\n");
  AppendChannels(text, inputs, ASIOTrue);
  Append(text, "Output channels:\n");
  AppendChannels(text, outputs, ASIOFalse);
  ASIOExit();
}
