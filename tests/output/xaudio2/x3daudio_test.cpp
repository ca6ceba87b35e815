// The library's 3D calculation through our own declarations of its
// structures: a known geometry must give the known answer. A field at a wrong
// offset reads another field (or a pointer's half) and fails one of these;
// this runs on both word sizes (natively 64-bit, the Windows build under Wine).
#include <gtest/gtest.h>

#include "output/xaudio2/x3daudio_api.h"
#include "output/xaudio2/xaudio2_engine.h"
#include "output/xaudio2/xaudio2_reverb.h"

namespace {

class X3DAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = LoadXAudio2Engine(nullptr);
    if (engine == nullptr) GTEST_SKIP() << "no XAudio2 library here";
    ASSERT_TRUE(engine->Initialize3D(kSpeakerStereo, kSpeedOfSound, instance));
    listener.orientFront = {0.0f, 0.0f, 1.0f};
    listener.orientTop = {0.0f, 1.0f, 0.0f};
    emitter.orientFront = {0.0f, 0.0f, 1.0f};
    emitter.orientTop = {0.0f, 1.0f, 0.0f};
    emitter.channelCount = 1;
    emitter.curveDistanceScaler = 1.0f;
    emitter.dopplerScaler = 1.0f;
  }

  X3DDspSettings Calculate(uint32_t flags) {
    X3DDspSettings settings{};
    settings.matrixCoefficients = matrix;
    settings.srcChannelCount = 1;
    settings.dstChannelCount = 2;
    engine->Calculate3D(instance, listener, emitter, flags, settings);
    return settings;
  }

  std::unique_ptr<XAudio2Engine> engine;
  X3DAudioHandle instance{};
  X3DListener listener{};
  X3DEmitter emitter{};
  float matrix[2] = {-1.0f, -1.0f};
};

TEST_F(X3DAudio, AnEmitterOnTheLeftIsLouderOnTheLeft) {
  listener.position = {1.0f, 0.0f, 0.0f};
  emitter.position = {-1.0f, 0.0f, 0.0f};  // 2 to the listener's left
  const X3DDspSettings settings = Calculate(kX3DCalculateMatrix);
  EXPECT_GT(matrix[0], matrix[1] + 0.1f);
  EXPECT_GE(matrix[1], 0.0f);
  EXPECT_NEAR(settings.emitterToListenerDistance, 2.0f, 1e-4f);

  emitter.position = {3.0f, 0.0f, 0.0f};
  Calculate(kX3DCalculateMatrix);
  EXPECT_GT(matrix[1], matrix[0] + 0.1f);
}

TEST_F(X3DAudio, ApproachingRaisesTheFrequencyRatioAndLeavingLowersIt) {
  emitter.position = {0.0f, 0.0f, 10.0f};
  emitter.velocity = {0.0f, 0.0f, -30.0f};
  const float approaching = Calculate(kX3DCalculateDoppler).dopplerFactor;
  emitter.velocity = {0.0f, 0.0f, 30.0f};
  const float leaving = Calculate(kX3DCalculateDoppler).dopplerFactor;
  EXPECT_GT(approaching, 1.05f);
  EXPECT_LT(leaving, 0.95f);
  // The listener moving towards a still emitter raises it too.
  emitter.velocity = {};
  listener.velocity = {0.0f, 0.0f, 30.0f};
  EXPECT_GT(Calculate(kX3DCalculateDoppler).dopplerFactor, 1.05f);
}

TEST_F(X3DAudio, OurReverbCurveKeepsASendBeyondTheCurveDistance) {
  emitter.position = {0.0f, 0.0f, 3.0f};  // three times the curve distance
  EXPECT_NEAR(Calculate(kX3DCalculateReverb).reverbLevel, 0.0f, 1e-4f) << "the libraries' own curve";
  emitter.reverbCurve = ReverbSendCurve();
  EXPECT_NEAR(Calculate(kX3DCalculateReverb).reverbLevel, 0.35f, 1e-3f);
}

}  // namespace
