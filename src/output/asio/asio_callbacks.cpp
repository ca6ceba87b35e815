// The host callbacks, run on the driver's thread: no allocation, no lock,
// no log.
#include <cstring>

#include "output/asio/asio_channel_copy.h"
#include "output/asio/asio_host.h"
#include "output/asio/asio_host_state.h"

AsioHostState asioHost;

ASIOTime* AsioBufferSwitchTimeInfo(ASIOTime*, long doubleBufferIndex, ASIOBool) {
  AsioHostState& host = asioHost;
  const int frames = static_cast<int>(host.preferredSize);
  const long entries = host.inputBuffers + host.outputBuffers;
  const long half = doubleBufferIndex != 0 ? 1 : 0;
  for (long i = 0; i < entries && i < AsioHostState::kMaxBuffers; ++i) {
    if (host.bufferInfos[i].isInput != ASIOFalse) continue;
    AsioEmitter* emitter = i < host.emitterTableCount ? host.emitters[i] : nullptr;
    FillAsioChannel(host.bufferInfos[i].buffers[half], host.channelInfos[i].type, emitter, frames);
  }
  if (host.postOutput) ASIOOutputReady();
  return nullptr;
}

void AsioBufferSwitch(long doubleBufferIndex, ASIOBool directProcess) {
  ASIOTime time;
  std::memset(&time, 0, sizeof time);
  if (ASIOGetSamplePosition(&time.timeInfo.samplePosition, &time.timeInfo.systemTime) == ASE_OK) {
    time.timeInfo.flags = kSystemTimeValid | kSamplePositionValid;
  }
  AsioBufferSwitchTimeInfo(&time, doubleBufferIndex, directProcess);
}

void AsioSampleRateDidChange(ASIOSampleRate) {}

long AsioMessage(long selector, long value, void*, double*) {
  switch (selector) {
    case 1:  // kAsioSelectorSupported
      return (value == 2 || value == 3 || value == 5 || value == 6 || value == 7 || value == 8 || value == 9) ? 1 : 0;
    case 2:  // kAsioEngineVersion
      return 2;
    case 3:  // kAsioResetRequest
    case 5:  // kAsioResyncRequest
    case 6:  // kAsioLatenciesChanged
    case 7:  // kAsioSupportsTimeInfo
      return 1;
    default: return 0;
  }
}
