#include "output/asio/asio_host.h"

#include <cstring>

#include "output/asio/asio_driver_registry.h"

ASIOError ASIOInit(ASIODriverInfo* info) {
  info->driverVersion = 0;
  std::strcpy(info->name, "No ASIO Driver");
  if (CurrentAsioDriver == nullptr) return ASE_NotPresent;
  if (CurrentAsioDriver->init(info->sysRef) != ASIOFalse) {
    std::strcpy(info->errorMessage, "No ASIO Driver Error");
    CurrentAsioDriver->getDriverName(info->name);
    info->driverVersion = CurrentAsioDriver->getDriverVersion();
    return ASE_OK;
  }
  CurrentAsioDriver->getErrorMessage(info->errorMessage);
  // The record still holds the object; the loader releases it on its next
  // unload.
  CurrentAsioDriver = nullptr;
  return ASE_NotPresent;
}

ASIOError ASIOExit() {
  if (CurrentAsioDriver != nullptr && asioDriverLoader != nullptr) asioDriverLoader->UnloadCurrent();
  CurrentAsioDriver = nullptr;
  return ASE_OK;
}

ASIOError ASIOStart() { return CurrentAsioDriver ? CurrentAsioDriver->start() : ASE_NotPresent; }
ASIOError ASIOStop() { return CurrentAsioDriver ? CurrentAsioDriver->stop() : ASE_NotPresent; }

ASIOError ASIOGetChannels(long* numInputChannels, long* numOutputChannels) {
  if (CurrentAsioDriver == nullptr) {
    *numInputChannels = *numOutputChannels = 0;
    return ASE_NotPresent;
  }
  return CurrentAsioDriver->getChannels(numInputChannels, numOutputChannels);
}

ASIOError ASIOGetLatencies(long* inputLatency, long* outputLatency) {
  if (CurrentAsioDriver == nullptr) {
    *inputLatency = *outputLatency = 0;
    return ASE_NotPresent;
  }
  return CurrentAsioDriver->getLatencies(inputLatency, outputLatency);
}

ASIOError ASIOGetBufferSize(long* minSize, long* maxSize, long* preferredSize, long* granularity) {
  if (CurrentAsioDriver == nullptr) {
    *minSize = *maxSize = *preferredSize = *granularity = 0;
    return ASE_NotPresent;
  }
  return CurrentAsioDriver->getBufferSize(minSize, maxSize, preferredSize, granularity);
}

ASIOError ASIOCanSampleRate(ASIOSampleRate sampleRate) {
  return CurrentAsioDriver ? CurrentAsioDriver->canSampleRate(sampleRate) : ASE_NotPresent;
}

ASIOError ASIOGetSampleRate(ASIOSampleRate* currentRate) {
  return CurrentAsioDriver ? CurrentAsioDriver->getSampleRate(currentRate) : ASE_NotPresent;
}

ASIOError ASIOSetSampleRate(ASIOSampleRate sampleRate) {
  return CurrentAsioDriver ? CurrentAsioDriver->setSampleRate(sampleRate) : ASE_NotPresent;
}

ASIOError ASIOGetSamplePosition(ASIOSamples* position, ASIOTimeStamp* stamp) {
  return CurrentAsioDriver ? CurrentAsioDriver->getSamplePosition(position, stamp) : ASE_NotPresent;
}

ASIOError ASIOGetChannelInfo(ASIOChannelInfo* info) {
  if (CurrentAsioDriver == nullptr) {
    info->channelGroup = -1;
    info->type = 0;
    std::strcpy(info->name, "None");
    return ASE_NotPresent;
  }
  return CurrentAsioDriver->getChannelInfo(info);
}

ASIOError ASIOCreateBuffers(ASIOBufferInfo* bufferInfos, long numChannels, long bufferSize, ASIOCallbacks* callbacks) {
  if (CurrentAsioDriver == nullptr) {
    for (long i = 0; i < numChannels; ++i) bufferInfos[i].buffers[0] = bufferInfos[i].buffers[1] = nullptr;
    return ASE_NotPresent;
  }
  return CurrentAsioDriver->createBuffers(bufferInfos, numChannels, bufferSize, callbacks);
}

ASIOError ASIODisposeBuffers() { return CurrentAsioDriver ? CurrentAsioDriver->disposeBuffers() : ASE_NotPresent; }

ASIOError ASIOOutputReady() { return CurrentAsioDriver ? CurrentAsioDriver->outputReady() : ASE_NotPresent; }
