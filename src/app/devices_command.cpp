#include "app/devices_command.h"

#include <cstring>

#include "engine/benchmark_engine.h"

namespace {

void PrintReport(CAbstractOutput& output, int device, std::ostream& out) {
  const int previous = output.GetSelectedDevice();
  output.SelectDevice(device);
  char text[4096] = {};
  output.GetFeatureReport(text);
  output.SelectDevice(previous);
  // Indent every report line under its device.
  const char* line = text;
  while (*line != '\0') {
    const char* end = std::strchr(line, '\n');
    const size_t length = end ? static_cast<size_t>(end - line) : std::strlen(line);
    out << "      ";
    out.write(line, static_cast<std::streamsize>(length));
    out << '\n';
    line += length + (end ? 1 : 0);
  }
}

}  // namespace

void ListDevices(BenchmarkEngine& engine, bool report, std::ostream& out) {
  out << "Processor: " << engine.cpuDescription << '\n';
  if (engine.outputCount == 0) {
    out << "No audio back end found a device.\n";
    return;
  }
  for (uint32_t b = 0; b < engine.outputCount; ++b) {
    CAbstractOutput& output = *engine.outputs[b];
    out << output.name << '\n';
    for (int d = 0; d < output.GetDeviceCount(); ++d) {
      char name[128] = {};
      output.GetDeviceName(d, name);
      out << "  " << d << ": " << name << '\n';
      if (report) PrintReport(output, d, out);
    }
  }
}
