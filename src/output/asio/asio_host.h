#pragma once
#include "output/asio/asio_interface.h"

// The host functions: each forwards to the loaded driver (CurrentAsioDriver)
// and returns its answer; with none loaded they return ASE_NotPresent and
// give neutral outputs.
ASIOError ASIOInit(ASIODriverInfo* info);
ASIOError ASIOExit();
ASIOError ASIOStart();
ASIOError ASIOStop();
ASIOError ASIOGetChannels(long* numInputChannels, long* numOutputChannels);
ASIOError ASIOGetLatencies(long* inputLatency, long* outputLatency);
ASIOError ASIOGetBufferSize(long* minSize, long* maxSize, long* preferredSize, long* granularity);
ASIOError ASIOCanSampleRate(ASIOSampleRate sampleRate);
ASIOError ASIOGetSampleRate(ASIOSampleRate* currentRate);
ASIOError ASIOSetSampleRate(ASIOSampleRate sampleRate);
ASIOError ASIOGetSamplePosition(ASIOSamples* position, ASIOTimeStamp* stamp);
ASIOError ASIOGetChannelInfo(ASIOChannelInfo* info);
ASIOError ASIOCreateBuffers(ASIOBufferInfo* bufferInfos, long numChannels, long bufferSize, ASIOCallbacks* callbacks);
ASIOError ASIODisposeBuffers();
ASIOError ASIOOutputReady();
