// CDSoundOutput against Wine's own DirectSound (an ALSA null PCM behind it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "output/dsound/dsound_output.h"

namespace {

std::vector<int16_t> OneSecondOfTone() {
  std::vector<int16_t> samples(44100);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i % 100) * 300);
  return samples;
}

class WineDSound : public ::testing::Test {
 protected:
  void SetUp() override {
    if (output.GetDeviceCount() == 0) GTEST_SKIP() << "Wine's DirectSound lists no device";
  }
  int CreateEmitter(int index, uint8_t mode) {
    return output.CreateEmitter(index, static_cast<int>(data.size() * 2), data.data(), 44100, mode, 0, 1);
  }

  CDSoundOutput output;
  std::vector<int16_t> data = OneSecondOfTone();
  platform::WindowHandle window = GetDesktopWindow();
};

TEST_F(WineDSound, ListsTheNullPcmDeviceWithItsCapsAndNoEax) {
  char name[128] = {};
  ASSERT_EQ(output.GetDeviceName(0, name), 1);
  // Wine 8 names its ALSA default device "Out: default", module winemm.vxd.
  EXPECT_EQ(std::string(name).rfind("Out: default (", 0), 0u) << name;
  EXPECT_EQ(name[std::strlen(name) - 1], ')');

  const DSoundDeviceInfo& info = output.devices[0];
  EXPECT_EQ(info.caps.dwSize, 96u);
  EXPECT_NE(info.caps.dwFlags, 0u);
  EXPECT_EQ(info.minSampleRate, info.caps.dwMinSecondarySampleRate);
  EXPECT_EQ(info.maxSampleRate, info.caps.dwMaxSecondarySampleRate);
  EXPECT_GT(info.minSampleRate, 0u);
  EXPECT_GE(info.maxSampleRate, 44100u);
  for (int feature = Eax10; feature <= ZoomFx; ++feature) {
    EXPECT_EQ(output.GetFeature(0, feature), 0) << "feature " << feature;
  }
  EXPECT_EQ(output.GetFeature(0, Version), 2048);
  EXPECT_EQ(output.GetFeature(0, 10), 0);
  EXPECT_EQ(output.GetXRamSize(0), 0);
  EXPECT_EQ(output.GetDeviceName(output.GetDeviceCount(), name), 0);
}

TEST_F(WineDSound, FeatureReportShowsTheRecordedCaps) {
  const DSCAPS& c = output.devices[0].caps;
  char expected[4096];
  std::snprintf(
      expected, sizeof(expected),
      "Device: %s\n\nFeatures:\n%s%s"
      "EAX 1.0: N/A\nEAX 2.0: N/A\nEAX 3.0: N/A\nEAX 4.0: N/A\nEAX 5.0: N/A\n"
      "\n\nRates:\n  dwMinSecondarySampleRate %d \n  dwMaxSecondarySampleRate %d \n"
      "\n\nFree buffers stats:\n  dwFreeHw3DAllBuffers %d \n  dwFreeHw3DStaticBuffers %d \n"
      "  dwFreeHw3DStreamingBuffers %d \n  dwFreeHwMixingAllBuffers %d \n"
      "  dwFreeHwMixingStaticBuffers %d \n  dwFreeHwMixingStreamingBuffers %d \n"
      "\n\nMax buffers stats:\n  dwMaxHwMixingAllBuffers %d \n  dwMaxHwMixingStaticBuffers %d \n"
      "  dwMaxHwMixingStreamingBuffers %d \n  dwMaxHw3DAllBuffers %d \n"
      "  dwMaxHw3DStaticBuffers %d \n  dwMaxHw3DStreamingBuffers %d \n"
      "\n\nMisc stats:\n  dwFreeHwMemBytes %d \n  dwTotalHwMemBytes %d \n"
      "  dwMaxContigFreeHwMemBytes %d \n  dwUnlockTransferRateHwBuffers %d \n"
      "  dwPlayCpuOverheadSwBuffers %d \n",
      output.devices[0].displayName,
      c.dwFreeHwMixingAllBuffers > 2 ? "DirectSound 2D Hardware: Yes\n" : "Device has not enough hardware 2D buffers\n",
      c.dwFreeHw3DAllBuffers > 2 ? "DirectSound 3D Hardware: Yes\n" : "Device has not enough hardware 3D buffers\n",
      (int)c.dwMinSecondarySampleRate, (int)c.dwMaxSecondarySampleRate, (int)c.dwFreeHw3DAllBuffers,
      (int)c.dwFreeHw3DStaticBuffers, (int)c.dwFreeHw3DStreamingBuffers, (int)c.dwFreeHwMixingAllBuffers,
      (int)c.dwFreeHwMixingStaticBuffers, (int)c.dwFreeHwMixingStreamingBuffers, (int)c.dwMaxHwMixingAllBuffers,
      (int)c.dwMaxHwMixingStaticBuffers, (int)c.dwMaxHwMixingStreamingBuffers, (int)c.dwMaxHw3DAllBuffers,
      (int)c.dwMaxHw3DStaticBuffers, (int)c.dwMaxHw3DStreamingBuffers, (int)c.dwFreeHwMemBytes,
      (int)c.dwTotalHwMemBytes, (int)c.dwMaxContigFreeHwMemBytes, (int)c.dwUnlockTransferRateHwBuffers,
      (int)c.dwPlayCpuOverheadSwBuffers);
  char text[4096] = "before\n";
  output.GetFeatureReport(text);
  EXPECT_EQ(std::string(text), std::string("before\n") + expected);
}

TEST_F(WineDSound, A2DTestPlays) {
  ASSERT_EQ(output.Init(window, 0, 44100, 2, Mode2D), 1);
  EXPECT_EQ(output.listener, nullptr);
  ASSERT_EQ(CreateEmitter(0, Mode2D), 1);
  ASSERT_EQ(CreateEmitter(1, Mode2D), 1);
  EXPECT_EQ(output.emitters[0].buffer3D, nullptr);
  EXPECT_EQ(output.PlayEmitter(0), 1);
  EXPECT_EQ(output.PlayEmitter(1), 1);

  DWORD status = 0;
  output.emitters[0].buffer8->GetStatus(&status);
  EXPECT_TRUE(status & DSBSTATUS_LOOPING);
  DWORD first = 0, later = 0, write = 0;
  output.emitters[0].buffer8->GetCurrentPosition(&first, &write);
  Sleep(150);
  output.emitters[0].buffer8->GetCurrentPosition(&later, &write);
  EXPECT_NE(first, later) << "the play cursor stood still";

  // The AudioThread's calls do nothing without 3D objects.
  EXPECT_EQ(output.SetEmitterPosition(0, 1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(output.CommitDeferred(1), 0);

  EXPECT_EQ(output.DestroyEmitter(0), 1);
  EXPECT_EQ(output.DestroyEmitter(1), 1);
  EXPECT_EQ(output.emitters[0].buffer, nullptr);
  EXPECT_EQ(output.Close(), 1);
  EXPECT_EQ(output.directSound, nullptr);
  EXPECT_EQ(output.primaryBuffer, nullptr);
}

TEST_F(WineDSound, Software3DEmittersTakePositionsAndDeferredCommits) {
  ASSERT_EQ(output.Init(window, 0, 44100, 3, Mode3DSoftware), 1);
  ASSERT_NE(output.listener, nullptr);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(CreateEmitter(i, Mode3DSoftware), 1);
  IDirectSound3DBuffer* buffer3D = output.emitters[1].buffer3D;
  ASSERT_NE(buffer3D, nullptr);
  EXPECT_EQ(output.emitters[1].propertySet, nullptr);

  // Created at its own start position, attenuation from half a unit.
  D3DVECTOR at = {};
  D3DVALUE distance = 0;
  buffer3D->GetPosition(&at);
  EXPECT_FLOAT_EQ(at.x, output.emitters[1].x);
  EXPECT_FLOAT_EQ(at.y, output.emitters[1].y);
  EXPECT_FLOAT_EQ(at.z, output.emitters[1].z);
  buffer3D->GetMinDistance(&distance);
  EXPECT_FLOAT_EQ(distance, 0.5f);

  for (int i = 0; i < 3; ++i) EXPECT_EQ(output.PlayEmitter(i), 1);
  EXPECT_EQ(output.SetListenerPosition(0.5f, 0, -1, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.SetListenerOrientation(0, 0, 1, 0, 1, 0, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.SetEmitterPosition(1, 4, 5, 6, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.SetEmitterDistances(1, 2, 40, DS3D_DEFERRED), 1);
  // An index the AudioThread may ask for that was never created.
  EXPECT_EQ(output.SetEmitterPosition(200, 4, 5, 6, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.CommitDeferred(DS3D_DEFERRED), 0);

  buffer3D->GetPosition(&at);
  EXPECT_FLOAT_EQ(at.x, 4);
  EXPECT_FLOAT_EQ(at.z, 6);
  buffer3D->GetMaxDistance(&distance);
  EXPECT_FLOAT_EQ(distance, 40);
  output.listener->GetPosition(&at);
  EXPECT_FLOAT_EQ(at.x, 0.5f);
  EXPECT_FLOAT_EQ(at.z, -1);

  for (int i = 0; i < 3; ++i) output.DestroyEmitter(i);
  output.Close();
  EXPECT_EQ(output.listener, nullptr);
}

TEST_F(WineDSound, HardwareBuffersAreRefusedAndTheTestGoesOn) {
  for (uint8_t mode : {Mode3DHardware, Mode3DHardwareEax}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(output.Init(window, 0, 44100, 2, mode), 1);
    EXPECT_NE(output.listener, nullptr);
    // Wine has no hardware buffers (E_NOTIMPL).
    EXPECT_EQ(CreateEmitter(0, mode), 0);
    EXPECT_EQ(output.emitters[0].buffer, nullptr);
    EXPECT_EQ(output.PlayEmitter(0), 1);
    EXPECT_EQ(output.SetEmitterPosition(0, 1, 1, 1, 0), 1);
    EXPECT_EQ(output.SetEmitterDistances(1, 1, 10, 0), 1);
    EXPECT_EQ(output.SetListenerPosition(1, 1, 1, 1), 1);
    EXPECT_EQ(output.CommitDeferred(1), 0);
    EXPECT_EQ(output.DestroyEmitter(0), 1);
    EXPECT_EQ(output.Close(), 1);
    EXPECT_EQ(output.eaxBuffer, nullptr);
    EXPECT_EQ(output.eaxListener, nullptr);
  }
}

TEST_F(WineDSound, RunsTestAfterTestOnOneObject) {
  for (int round = 0; round < 2; ++round) {
    for (uint8_t mode : {Mode2D, Mode3DSoftware}) {
      SCOPED_TRACE(::testing::Message() << "round " << round << " mode " << int(mode));
      ASSERT_EQ(output.Init(window, 0, 22050, 4, mode), 1);
      EXPECT_EQ(output.GetEmitterCount(), 4);
      for (int i = 0; i < 4; ++i) ASSERT_EQ(CreateEmitter(i, mode), 1);
      for (int i = 0; i < 4; ++i) output.PlayEmitter(i);
      for (int i = 0; i < 4; ++i) output.DestroyEmitter(i);
      EXPECT_EQ(output.Close(), 1);
    }
  }
}

TEST_F(WineDSound, InitRefusesADeviceThatWasNotListed) {
  EXPECT_EQ(output.Init(window, output.GetDeviceCount(), 44100, 7, Mode2D), 0);
  EXPECT_EQ(output.Init(window, -1, 44100, 7, Mode2D), 0);
  EXPECT_EQ(output.directSound, nullptr);
  EXPECT_EQ(output.GetEmitterCount(), 7);
  EXPECT_EQ(CreateEmitter(0, Mode2D), 0);
}

}  // namespace
