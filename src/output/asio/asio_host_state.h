#pragma once
#include "output/asio/asio_emitter.h"
#include "output/asio/asio_interface.h"

// What the open driver and its callbacks share. One driver is loaded at a
// time, so there is one state for the process. The driver's thread reads it
// only between start and stop, while the engine's thread leaves it alone.
struct AsioHostState {
  static constexpr int kMaxBuffers = 256;

  ASIODriverInfo driverInfo{};
  long inputChannels = 0;
  long outputChannels = 0;
  long minSize = 0;
  long maxSize = 0;
  long preferredSize = 0;
  long granularity = 0;
  ASIOSampleRate sampleRate = 0;
  bool postOutput = false;
  long inputLatency = 0;
  long outputLatency = 0;
  long inputBuffers = 0;
  long outputBuffers = 0;
  ASIOBufferInfo bufferInfos[kMaxBuffers]{};
  ASIOChannelInfo channelInfos[kMaxBuffers]{};
  bool stopped = true;
  ASIOCallbacks callbacks{};
  int emitterTableCount = 0;
  AsioEmitter** emitters = nullptr;
};

extern AsioHostState asioHost;

// The four callbacks handed to the driver.
void AsioBufferSwitch(long doubleBufferIndex, ASIOBool directProcess);
void AsioSampleRateDidChange(ASIOSampleRate rate);
long AsioMessage(long selector, long value, void* message, double* opt);
ASIOTime* AsioBufferSwitchTimeInfo(ASIOTime* params, long doubleBufferIndex, ASIOBool directProcess);
