#include <cstdio>
#include <cstring>
#include <memory>

#include "output/abstract_output.h"
#include "output/asio/asio_driver_registry.h"
#include "output/asio/asio_feature_report.h"
#include "output/asio/asio_host.h"
#include "output/asio/asio_host_state.h"
#include "output/asio_factory.h"

namespace {

// The ASIO back end. It does not mix: emitter i is copied, sample for
// sample, into output channel i by the buffer switch on the driver's thread.
// No 3D features; every 3D operation succeeds without doing anything.
class CASIOOutput : public CAbstractOutput {
 public:
  CASIOOutput();
  ~CASIOOutput() override;

  int Init(platform::WindowHandle window, int device, int frequency, int emitterCount, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override;
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
  int GetFeature(int, int) override { return 0; }
  int GetHw2DBufferCount(int device) override;
  int GetHw3DBufferCount(int) override { return 0; }
  void GetFeatureReport(char* text) override {
    if (text == nullptr) return;
    text[0] = '\0';
    if (IsDevice(selectedDevice)) AppendAsioFeatureReport(text, *devices, selectedDevice);
  }
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int deferred,
                    int useXRam) override;
  int DestroyEmitter(int index) override;
  int PlayEmitter(int index) override;
  int StopEmitter(int) override { return Usable() ? 1 : 0; }
  int SetEmitterPosition(int, float, float, float, int) override { return Usable() ? 1 : 0; }
  int SetEmitterDistances(int, float, float, int) override { return Usable() ? 1 : 0; }
  int SetListenerPosition(float, float, float, int) override { return Usable() ? 1 : 0; }
  int SetListenerOrientation(float, float, float, float, float, float, int) override { return Usable() ? 1 : 0; }
  int CommitDeferred(int) override { return 0; }

 private:
  bool Usable() const { return devices != nullptr && devices->Count() > 0; }
  bool IsDevice(int device) const { return Usable() && device >= 0 && device < devices->Count(); }
  bool LoadDriver(int device) const { return OpenAsioDriverOf(*devices, device); }
  void FreeEmitterTable();

  int selectedDevice = 0;
  std::unique_ptr<AsioDriverRegistry> devices;
};

}  // namespace

CASIOOutput::CASIOOutput() : CAbstractOutput("ASIO"), devices(std::make_unique<AsioDriverRegistry>()) {}

CASIOOutput::~CASIOOutput() { FreeEmitterTable(); }

int CASIOOutput::GetDeviceCount() { return devices ? devices->Count() : 0; }

int CASIOOutput::GetDeviceName(int device, char* text) {
  if (!IsDevice(device) || text == nullptr) return 0;
  char shown[kDeviceNameCapacity];
  if (devices->DriverName(device, shown, static_cast<int>(kDeviceNameCapacity)) != 0) return 0;
  std::snprintf(text, kDeviceNameCapacity, "%s", shown);
  return 1;
}

int CASIOOutput::Init(platform::WindowHandle window, int device, int frequency, int count, uint8_t) {
  emitterCount = count;
  if (!IsDevice(device) || !LoadDriver(device)) return 0;
  AsioHostState& host = asioHost;
  std::memset(&host.driverInfo, 0, sizeof host.driverInfo);
  host.driverInfo.sysRef = window;
  if (ASIOInit(&host.driverInfo) != ASE_OK) return 0;
  host.stopped = true;
  if (ASIOGetChannels(&host.inputChannels, &host.outputChannels) != ASE_OK ||
      ASIOGetBufferSize(&host.minSize, &host.maxSize, &host.preferredSize, &host.granularity) != ASE_OK ||
      ASIOGetSampleRate(&host.sampleRate) != ASE_OK) {
    return 0;
  }
  if (!(host.sampleRate > 0) || host.sampleRate > 192000) return 0;
  ASIOSetSampleRate(static_cast<ASIOSampleRate>(frequency));  // a refusal plays at the card's rate
  host.postOutput = ASIOOutputReady() == ASE_OK;
  host.callbacks = {&AsioBufferSwitch, &AsioSampleRateDidChange, &AsioMessage, &AsioBufferSwitchTimeInfo};

  // The smaller of the input count and 0: no input is ever requested.
  host.inputBuffers = 0;
  long outputs = host.outputChannels;
  if (outputs > AsioHostState::kMaxBuffers) outputs = AsioHostState::kMaxBuffers;
  if (outputs > count) outputs = count;
  host.outputBuffers = outputs < 0 ? 0 : outputs;
  const long entries = host.inputBuffers + host.outputBuffers;
  for (long j = 0; j < host.outputBuffers; ++j) {
    host.bufferInfos[host.inputBuffers + j] = {ASIOFalse, j, {nullptr, nullptr}};
  }
  if (ASIOCreateBuffers(host.bufferInfos, entries, host.preferredSize, &host.callbacks) != ASE_OK) {
    return 0;
  }
  bool described = true;
  for (long j = 0; j < entries && described; ++j) {
    host.channelInfos[j].channel = host.bufferInfos[j].channelNum;
    host.channelInfos[j].isInput = host.bufferInfos[j].isInput;
    described = ASIOGetChannelInfo(&host.channelInfos[j]) == ASE_OK;
  }
  if (described) ASIOGetLatencies(&host.inputLatency, &host.outputLatency);

  FreeEmitterTable();
  const int slots = count < 0 ? 0 : (count > kMaxEmitters ? kMaxEmitters : count);
  host.emitters = new AsioEmitter*[slots > 0 ? slots : 1]();
  host.emitterTableCount = slots;
  return 1;
}

int CASIOOutput::Close() {
  ASIODisposeBuffers();
  ASIOExit();
  FreeEmitterTable();
  return 1;
}

void CASIOOutput::FreeEmitterTable() {
  AsioHostState& host = asioHost;
  for (int i = 0; i < host.emitterTableCount; ++i) {
    if (host.emitters[i] == nullptr) continue;
    ReleaseAsioEmitter(*host.emitters[i]);
    delete host.emitters[i];
  }
  delete[] host.emitters;
  host.emitters = nullptr;
  host.emitterTableCount = 0;
}

int CASIOOutput::CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t, int, int) {
  if (!Usable()) return 0;
  AsioHostState& host = asioHost;
  // Only indexes the table was made for are written.
  if (index < 0 || index >= host.emitterTableCount || data == nullptr || dataSize < 0) return 0;
  AsioEmitter*& slot = host.emitters[index];
  if (slot == nullptr) slot = new AsioEmitter();
  ConvertAsioEmitter(*slot, data, static_cast<uint32_t>(dataSize), frequency);
  return 1;
}

int CASIOOutput::PlayEmitter(int) {
  if (!Usable()) return 0;
  AsioHostState& host = asioHost;
  if (!host.stopped) return 1;
  const ASIOError status = ASIOStart();
  host.stopped = false;
  return status == ASE_OK ? 1 : 0;
}

int CASIOOutput::DestroyEmitter(int index) {
  if (!Usable()) return 0;
  AsioHostState& host = asioHost;
  if (!host.stopped) {
    ASIOStop();
    host.stopped = true;
  }
  if (index >= 0 && index < host.emitterTableCount && host.emitters[index] != nullptr) {
    ReleaseAsioEmitter(*host.emitters[index]);
    delete host.emitters[index];
    host.emitters[index] = nullptr;
  }
  return 1;
}

int CASIOOutput::GetHw2DBufferCount(int device) {
  if (!IsDevice(device) || !LoadDriver(device)) return 0;
  ASIODriverInfo info;
  std::memset(&info, 0, sizeof info);
  long inputs = 0;
  long outputs = 0;
  if (ASIOInit(&info) != ASE_OK || ASIOGetChannels(&inputs, &outputs) != ASE_OK) return 0;
  ASIOExit();
  return static_cast<int>(outputs);
}

std::unique_ptr<CAbstractOutput> CreateAsioOutput() { return std::make_unique<CASIOOutput>(); }
