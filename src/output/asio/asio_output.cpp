#include "output/asio/asio_output.h"

#include <cstdio>
#include <cstring>

#include "output/asio/asio_host.h"
#include "output/asio/asio_host_state.h"

CASIOOutput::CASIOOutput() : devices(std::make_unique<AsioDriverRegistry>()) { name = "ASIO"; }

CASIOOutput::~CASIOOutput() { FreeEmitterTable(); }

int CASIOOutput::GetDeviceCount() { return devices ? devices->Count() : 0; }

int CASIOOutput::GetDeviceName(int device, char* text) {
  if (!IsDevice(device) || text == nullptr) return 0;
  char shown[128];
  if (devices->DriverName(device, shown, 128) != 0) return 0;
  std::snprintf(text, 128, "%s", shown);
  return 1;
}

bool CASIOOutput::LoadDriver(int device) const {
  char driverName[32];
  return devices->DriverName(device, driverName, 32) == 0 && OpenAsioDriverByName(driverName);
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
