#include "output/dsound/dsound_device_info.h"

#include "output/abstract_output.h"

int DSoundDeviceFeature(const DSoundDeviceInfo& device, int feature) {
  switch (feature) {
    case Hardware2D: return device.hw2DBuffers > 2;
    case Hardware3D: return device.hw3DBuffers > 2;
    case Eax10: return device.eax10;
    case Eax20: return device.eax20;
    case Eax30: return device.eax30;
    case Eax40: return device.eax40;
    case Eax50: return device.eax50;
    case ZoomFx: return device.zoomFx;
    case Version: return 2048;
    default: return 0;
  }
}
