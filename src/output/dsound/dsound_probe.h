#pragma once
#include "output/dsound/dsound_api.h"

// Capability probes run once per device at construction. Each creates a
// small 3D test buffer on `directSound`, asks its property set and releases
// everything it obtained. 1 when supported, else 0.
int ProbeEax(IDirectSound8* directSound, int version);  // version 1..5
int ProbeZoomFx(IDirectSound8* directSound);
