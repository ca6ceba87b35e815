#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "output/abstract_output.h"
#include "output/jack/jack_client_state.h"
#include "output/jack/jack_feature_report.h"
#include "output/jack/jack_library.h"
#include "output/jack/jack_server.h"
#include "output/jack/kept_until_exit.h"
#include "output/jack_factory.h"
#include "output/jack_server_watch.h"
#include "results/debug_log.h"

namespace {

constexpr const char* kLibraryFile = "libjack.so.0";
constexpr const char* kClientName = "kv3r";
// A server that has not answered a test's open by then is taken as gone
// (libjack itself waits seconds for a server that is shutting down).
constexpr int kOpenMilliseconds = 2000;

// The JACK back end: one device, the server this process reaches. Like ASIO
// it does not mix: emitter i is copied, sample for sample at the server's
// rate, into its own output port "emitter_<i + 1>", and the ports are
// connected round-robin to the physical playback ports. A test opens its
// own client and closes it again. No 3D features; every 3D operation
// succeeds without doing anything.
class CJackOutput : public CAbstractOutput {
 public:
  CJackOutput();
  ~CJackOutput() override;

  int Init(platform::WindowHandle window, int device, int frequency, int count, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override { return Usable() ? 1 : 0; }
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
  int GetFeature(int, int) override { return 0; }
  int GetHw2DBufferCount(int device) override { return IsDevice(device) ? playbackPorts : 0; }
  int GetHw3DBufferCount(int) override { return 0; }
  void GetFeatureReport(char* text) override;
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int deferred,
                    int useXRam) override;
  int DestroyEmitter(int index) override;
  int PlayEmitter(int index) override;
  int StopEmitter(int index) override;
  int SetEmitterPosition(int, float, float, float, int) override { return Usable() ? 1 : 0; }
  int SetEmitterDistances(int, float, float, int) override { return Usable() ? 1 : 0; }
  int SetListenerPosition(float, float, float, int) override { return Usable() ? 1 : 0; }
  int SetListenerOrientation(float, float, float, float, float, float, int) override { return Usable() ? 1 : 0; }
  int CommitDeferred(int) override { return 0; }
  // The server's rate: there is no asking it for another.
  int FixedPlaybackRate() override { return serverRate; }
  bool DeviceGone() override;
  std::vector<BackEndFigure> TestFigures() override;

 private:
  bool Usable() const { return library != nullptr; }
  bool IsDevice(int device) const { return Usable() && device == 0; }
  bool IsPort(int index) const { return state->client != nullptr && index >= 0 && index < state->portCount; }
  void RegisterPorts(int count);
  void ConnectPorts();
  void ReleaseClient();

  JackLibrary* library = nullptr;
  std::string serverName;
  int serverRate = 0;
  int playbackPorts = 0;
  int selectedDevice = 0;
  bool active = false;
  // A fresh one for each client: one left open on a dead server keeps its
  // state (libjack holds it) until the process ends.
  std::unique_ptr<JackClientState> state = std::make_unique<JackClientState>();
  // Opened at the first question asked outside a test; kept until it sees
  // the server go, or the back end ends.
  std::unique_ptr<JackServerWatch> watch;
  // Init found no server: gone until the next Init.
  bool unreachable = false;
  bool keepLibrary = false;  // a client was left open (ReleaseClient)
};

}  // namespace

CJackOutput::CJackOutput() : CAbstractOutput("JACK") {
  library = LoadJackLibrary(kLibraryFile);
  if (library == nullptr) {
    DebugLog::Writef("%s not found\n", kLibraryFile);
    return;
  }
  state->jack = &library->jack;
  serverName = JackServerName();
  // The device is the server: one that does not answer now is no device.
  jack_status_t status = 0;
  jack_client_t* probe = OpenJackClient(library->jack, kClientName, status);
  if (probe == nullptr) {
    DebugLog::Writef("No JACK server \"%s\" answered (status 0x%x)\n", serverName.c_str(),
                     static_cast<unsigned>(status));
    FreeJackLibrary(library);
    library = nullptr;
    return;
  }
  serverRate = static_cast<int>(library->jack.jack_get_sample_rate(probe));
  const char** ports = PhysicalPlaybackPorts(library->jack, probe);
  playbackPorts = CountPorts(ports);
  if (ports != nullptr) library->jack.jack_free(ports);
  library->jack.jack_client_close(probe);
}

CJackOutput::~CJackOutput() {
  ReleaseClient();
  watch.reset();
  if (keepLibrary) {
    KeepJackLibrary(library);
  } else {
    FreeJackLibrary(library);
  }
}

int CJackOutput::GetDeviceName(int device, char* name) {
  if (!IsDevice(device) || name == nullptr) return 0;
  std::snprintf(name, kDeviceNameCapacity, "%s", serverName.c_str());
  return 1;
}

void CJackOutput::GetFeatureReport(char* text) {
  if (text == nullptr) return;
  text[0] = '\0';
  if (IsDevice(selectedDevice)) AppendJackFeatureReport(text, library->jack, serverName.c_str());
}

bool CJackOutput::DeviceGone() {
  if (!Usable()) return false;
  if (unreachable) return true;
  if (state->client != nullptr) {
    return state->serverGone.load(std::memory_order_acquire) || (watch && watch->Gone());
  }
  if (!watch) watch = WatchJackServer();
  return watch->Gone();
}

int CJackOutput::Init(platform::WindowHandle, int device, int, int count, uint8_t) {
  emitterCount = count;
  if (!IsDevice(device)) return 0;
  ReleaseClient();
  // A live watch stays, through the test too (it costs the server nothing):
  // closing a client is a request to a server that may be dying, which
  // libjack waits on.
  if (watch && watch->Gone()) watch.reset();
  unreachable = false;
  state->xruns.store(0);
  state->serverGone.store(false);
  jack_status_t status = 0;
  const JackFunctions& jack = library->jack;
  bool late = false;
  state->client = OpenJackClientWithin(jack, kClientName, status, kOpenMilliseconds, late);
  keepLibrary = keepLibrary || late;
  if (state->client == nullptr) {
    DebugLog::Writef("The JACK server \"%s\" no longer answers (status 0x%x)\n", serverName.c_str(),
                     static_cast<unsigned>(status));
    unreachable = true;
    if (watch) watch->MarkGone();
    return 0;
  }
  jack.jack_set_process_callback(state->client, &JackProcess, state.get());
  jack.jack_set_xrun_callback(state->client, &JackXRun, state.get());
  jack.jack_on_shutdown(state->client, &JackShutdown, state.get());
  const int wanted = std::clamp(count, 0, kMaxEmitters);
  RegisterPorts(wanted);
  if (jack.jack_activate(state->client) != 0) {
    ReleaseClient();
    return 0;
  }
  active = true;
  ConnectPorts();
  return state->portCount == wanted ? 1 : 0;
}

void CJackOutput::RegisterPorts(int count) {
  for (int i = 0; i < count; ++i) {
    char name[24];  // "emitter_" and any int
    std::snprintf(name, sizeof name, "emitter_%d", i + 1);
    jack_port_t* port =
        library->jack.jack_port_register(state->client, name, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    if (port == nullptr) return;
    state->ports[state->portCount++] = port;
  }
}

void CJackOutput::ConnectPorts() {
  const JackFunctions& jack = library->jack;
  const char** physical = PhysicalPlaybackPorts(jack, state->client);
  const int count = CountPorts(physical);
  for (int i = 0; i < state->portCount && count > 0; ++i) {
    jack.jack_connect(state->client, jack.jack_port_name(state->ports[i]), physical[i % count]);
  }
  if (physical != nullptr) jack.jack_free(physical);
}

void CJackOutput::ReleaseClient() {
  if (state->client == nullptr) return;
  const JackFunctions& jack = library->jack;
  // The watch may hear of the server's end before the client does.
  if (state->serverGone.load(std::memory_order_acquire) || (watch && watch->Gone())) {
    // libjack can crash deactivating or closing a client whose server died:
    // it is left as it is, with its state, and the library stays loaded
    // until the process ends.
    DebugLog::Write("The JACK client stays open: its server is gone\n");
    keepLibrary = true;
    if (watch) watch->MarkGone();
    AbandonJackClientState(*state);
    KeepUntilExit(state.release());
    state = std::make_unique<JackClientState>();
    state->jack = &library->jack;
    active = false;
    return;
  } else {
    // Deactivation returns after the last process cycle, so the emitters are
    // free to change afterwards.
    if (active) jack.jack_deactivate(state->client);
    for (int i = 0; i < state->portCount; ++i) jack.jack_port_unregister(state->client, state->ports[i]);
    jack.jack_client_close(state->client);
  }
  active = false;
  state->client = nullptr;
  state->portCount = 0;
  for (JackEmitter& emitter : state->emitters) {
    emitter.playing.store(false);
    emitter.source = JackSource{};
  }
}

int CJackOutput::Close() {
  ReleaseClient();
  return 1;
}

int CJackOutput::CreateEmitter(int index, int dataSize, const void* data, int, uint8_t, int, int) {
  if (!IsPort(index) || data == nullptr || dataSize < 0) return 0;
  JackEmitter& emitter = state->emitters[index];
  emitter.playing.store(false, std::memory_order_release);
  // The engine's block is mono.
  emitter.source = MakeJackSource(data, static_cast<uint32_t>(dataSize), 1);
  return 1;
}

int CJackOutput::PlayEmitter(int index) {
  if (!IsPort(index) || state->emitters[index].source.samples == nullptr) return 0;
  state->emitters[index].playing.store(true, std::memory_order_release);
  return 1;
}

int CJackOutput::StopEmitter(int index) {
  if (!Usable()) return 0;
  if (IsEmitterIndex(index)) state->emitters[index].playing.store(false, std::memory_order_release);
  return 1;
}

int CJackOutput::DestroyEmitter(int index) {
  // The source stays as it is until Close: a cycle under way may still read it.
  if (IsEmitterIndex(index)) state->emitters[index].playing.store(false, std::memory_order_release);
  return 1;
}

std::vector<BackEndFigure> CJackOutput::TestFigures() {
  if (state->client == nullptr) return {};
  std::vector<BackEndFigure> figures;
  // A server that went away has no load to tell. The percentage is kept to
  // three places: the server's figure is a smoothed estimate.
  if (!state->serverGone.load(std::memory_order_acquire)) {
    figures.push_back({"dsp_load", std::round(library->jack.jack_cpu_load(state->client) * 1000.0) / 1000.0});
  }
  figures.push_back({"xruns", static_cast<double>(state->xruns.load())});
  return figures;
}

std::unique_ptr<CAbstractOutput> CreateJackOutput() { return std::make_unique<CJackOutput>(); }
