#include "output/jack/jack_feature_report.h"

#include "output/feature_report_text.h"
#include "output/jack/jack_server.h"

namespace {

// As ASIO's report: every line formatted into this many bytes first.
constexpr size_t kLineCapacity = 128;

}  // namespace

void AppendJackFeatureReport(char* text, const JackFunctions& jack, const char* serverName) {
  FeatureReportText report(text, kLineCapacity);
  report.Append("Device: %s\n\n", serverName);
  report.Append("Features:\n");
  jack_status_t status = 0;
  jack_client_t* client = OpenJackClient(jack, "kv3r-report", status);
  if (client == nullptr) {
    report.Append("Server: not reached (status 0x%x)\n", static_cast<unsigned>(status));
    return;
  }
  report.Append("Sample rate: %u Hz\n", static_cast<unsigned>(jack.jack_get_sample_rate(client)));
  report.Append("Buffer size: %u frames\n", static_cast<unsigned>(jack.jack_get_buffer_size(client)));
  report.Append("Real time: %s\n", jack.jack_is_realtime(client) != 0 ? "yes" : "no");
  report.Append("DSP load: %.2f %%\n", static_cast<double>(jack.jack_cpu_load(client)));
  const char** ports = PhysicalPlaybackPorts(jack, client);
  report.Append("Physical playback ports: %d\n", CountPorts(ports));
  for (int i = 0; ports != nullptr && ports[i] != nullptr; ++i) report.Append(" port: %s\n", ports[i]);
  if (ports != nullptr) jack.jack_free(ports);
  jack.jack_client_close(client);
}
