#pragma once
#include <cstdint>

#include "output/dsound/dsound_api.h"

// One enumerated device, recorded once at construction and never refreshed.
struct DSoundDeviceInfo {
  GUID guid;
  char displayName[256];  // "%s (%s)" of description and module
  int32_t hw2DBuffers;    // free hardware mixing buffers, at most 256
  int32_t hw3DBuffers;    // free hardware 3D buffers, at most 256
  uint32_t minSampleRate;
  uint32_t maxSampleRate;
  int32_t eax10;
  int32_t eax20;
  int32_t eax30;
  int32_t eax40;
  int32_t eax50;
  int32_t zoomFx;
  DSCAPS caps;
};

// What GetFeature answers for the device: an OutputFeature id, any other 0.
int DSoundDeviceFeature(const DSoundDeviceInfo& device, int feature);
