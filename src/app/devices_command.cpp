#include "app/devices_command.h"

#include <cstring>
#include <string>

#include "app/library_messages.h"
#include "app/openal_driver_option.h"
#include "cpu/processor_info.h"
#include "engine/benchmark_engine.h"

namespace {

void PrintReport(CAbstractOutput& output, int device, std::ostream& out) {
  const int previous = output.GetSelectedDevice();
  output.SelectDevice(device);
  std::string text = DeviceCatalogue::FeatureReport(output);
  const std::string note = SoftwareMixingNote(output);
  if (!note.empty()) text += (text.empty() || text.back() == '\n' ? "" : "\n") + note + '\n';
  output.SelectDevice(previous);
  // Indent every report line under its device.
  const char* line = text.c_str();
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

std::string SoftwareMixingNote(CAbstractOutput& output) {
  const std::string name = output.Name();
  // JACK has no mixer at all: its report says so in its own words.
  if (name != "OpenAL" && name != "DirectSound") return {};
  if (output.GetFeature(output.GetSelectedDevice(), Hardware2D) != 0) return {};
  return "This device has no hardware 2D buffers: the 2D mode (\"2D hardware\" in the status) plays through " +
         name + "'s software mixer.";
}

void PrintNoDevice(std::ostream& out) {
  out << "No audio back end found a device.\n" << NoDeviceHint() << '\n';
  if (LibraryMessagesKept()) out << "The sound libraries' own messages are in " << kLibraryMessagesFile << ".\n";
}

void PrintProcessor(const BenchmarkEngine& engine, std::ostream& out) {
  out << "Processor: " << engine.CpuDescription();
  const std::string brand = ProcessorInfo::ReadBrandString();
  if (!brand.empty()) out << " (" << brand << ")";
  out << '\n';
}

void ListDevices(BenchmarkEngine& engine, bool report, std::ostream& out) {
  PrintProcessor(engine, out);
  if (engine.OutputCount() == 0) {
    PrintNoDevice(out);
    return;
  }
  for (size_t b = 0; b < engine.OutputCount(); ++b) {
    CAbstractOutput& output = engine.Output(b);
    out << output.Name() << '\n';
    for (int d = 0; d < output.GetDeviceCount(); ++d) {
      out << "  " << d << ": " << DeviceCatalogue::DeviceName(output, d) << '\n';
      if (report) PrintReport(output, d, out);
    }
    if (report) {
      const std::string server = PulseServerBehind(output.Name());
      if (!server.empty()) out << "  Pulse server: " << server << '\n';
    }
  }
}
