#include "output/xaudio2/xaudio2_reverb.h"

#include <cstring>

XAudio2ReverbParameters BathroomReverb() {
  XAudio2ReverbParameters p{};
  p.wetDryMix = 100.0f;
  p.reflectionsDelay = 7;
  p.reverbDelay = 11;
  p.rearDelay = 5;
  p.sideDelay = 5;
  p.positionLeft = 6;
  p.positionRight = 6;
  p.positionMatrixLeft = 27;
  p.positionMatrixRight = 27;
  p.earlyDiffusion = 15;
  p.lateDiffusion = 15;
  p.lowEqGain = 8;
  p.lowEqCutoff = 4;
  // The bathroom's high frequencies decay at about half the rate of the rest.
  p.highEqGain = 4;
  p.highEqCutoff = 6;
  p.roomFilterFreq = 5000.0f;
  p.roomFilterMain = -10.0f;
  p.roomFilterHF = -12.0f;
  p.reflectionsGain = -3.7f;
  p.reverbGain = 10.3f;
  p.decayTime = 1.49f;
  p.density = 60.0f;
  p.roomSize = 4.6f;  // 1.4 m
  return p;
}

void ReverbParametersFor28(const XAudio2ReverbParameters& parameters, uint8_t (&out)[kReverbParameters28Bytes]) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&parameters);
  constexpr size_t side = offsetof(XAudio2ReverbParameters, sideDelay);
  std::memcpy(out, bytes, side);
  std::memcpy(out + side, bytes + side + 1, sizeof(parameters) - side - 1);
}

X3DCurve* ReverbSendCurve() {
  static X3DCurvePoint points[] = {{0.0f, 0.8f}, {0.5f, 0.55f}, {1.0f, 0.35f}};
  static X3DCurve curve = {points, 3};
  return &curve;
}
