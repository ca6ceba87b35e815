// The DirectSound back end against Wine's own DirectSound (an ALSA null PCM
// behind it). What the back end recorded is checked against what the test
// asks Wine itself; what its real buffers do is read through the factory
// header's test view.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "output/dsound/dsound_output.h"
#include "output/dsound_factory.h"

namespace {

// Wine's first device as Wine itself describes it to the test.
struct SystemDevice {
  bool found = false;
  std::string name;  // "description (module)", as the back end shows it
  DSCAPS caps{};
};

struct Enumeration {
  bool found = false;
  GUID guid{};
  std::string name;
};

BOOL CALLBACK FirstDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context) {
  if (guid == nullptr) return TRUE;  // the primary sound driver
  auto& first = *static_cast<Enumeration*>(context);
  first.found = true;
  first.guid = *guid;
  first.name = std::string(description ? description : "") + " (" + (module ? module : "") + ")";
  return FALSE;
}

SystemDevice AskWine() {
  SystemDevice device;
  DSoundApi api = LoadDSoundApi();
  Enumeration first;
  if (api.enumerate != nullptr) api.enumerate(&FirstDevice, &first);
  IDirectSound8* directSound = nullptr;
  if (first.found && api.create != nullptr && SUCCEEDED(api.create(&first.guid, &directSound, nullptr))) {
    device.caps.dwSize = sizeof(DSCAPS);
    device.found = SUCCEEDED(directSound->GetCaps(&device.caps));
    device.name = first.name;
    directSound->Release();
  }
  UnloadDSoundApi(api);
  return device;
}

std::vector<int16_t> OneSecondOfTone() {
  std::vector<int16_t> samples(44100);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i % 100) * 300);
  return samples;
}

class WineDSound : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!wine.found) GTEST_SKIP() << "Wine's DirectSound lists no device";
    ASSERT_GE(output.GetDeviceCount(), 1) << "Wine lists " << wine.name << " but the back end does not";
  }
  int CreateEmitter(int index, uint8_t mode) {
    return output.CreateEmitter(index, static_cast<int>(data.size() * 2), data.data(), 44100, mode, 0, 1);
  }
  DSoundTestView View(int emitter = 0) { return ViewDirectSoundOutputForTest(output, emitter); }

  const SystemDevice wine = AskWine();
  const std::unique_ptr<CAbstractOutput> made = CreateDirectSoundOutput();
  CAbstractOutput& output = *made;
  std::vector<int16_t> data = OneSecondOfTone();
  platform::WindowHandle window = GetDesktopWindow();
};

TEST_F(WineDSound, ListsTheNullPcmDeviceWithItsCapsAndNoEax) {
  char name[kDeviceNameCapacity] = {};
  ASSERT_EQ(output.GetDeviceName(0, name), 1);
  // Wine 8 names its ALSA default device "Out: default", module winemm.vxd.
  EXPECT_EQ(std::string(name).rfind("Out: default (", 0), 0u) << name;
  EXPECT_EQ(name[std::strlen(name) - 1], ')');
  EXPECT_EQ(std::string(name), wine.name.substr(0, kDeviceNameCapacity - 1));

  EXPECT_EQ(wine.caps.dwSize, 96u);
  EXPECT_NE(wine.caps.dwFlags, 0u);
  EXPECT_GT(wine.caps.dwMinSecondarySampleRate, 0u);
  EXPECT_GE(wine.caps.dwMaxSecondarySampleRate, 44100u);
  for (int feature = Eax10; feature <= ZoomFx; ++feature) {
    EXPECT_EQ(output.GetFeature(0, feature), 0) << "feature " << feature;
  }
  EXPECT_EQ(output.GetFeature(0, Version), 2048);
  EXPECT_EQ(output.GetFeature(0, 10), 0);
  EXPECT_EQ(output.GetXRamSize(0), 0);
  EXPECT_EQ(output.GetDeviceName(output.GetDeviceCount(), name), 0);
}

TEST_F(WineDSound, FeatureReportShowsTheRecordedCaps) {
  const DSCAPS& c = wine.caps;
  char expected[kFeatureReportCapacity];
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
      wine.name.c_str(),
      c.dwFreeHwMixingAllBuffers > 2 ? "DirectSound 2D Hardware: Yes\n" : "Device has not enough hardware 2D buffers\n",
      c.dwFreeHw3DAllBuffers > 2 ? "DirectSound 3D Hardware: Yes\n" : "Device has not enough hardware 3D buffers\n",
      (int)c.dwMinSecondarySampleRate, (int)c.dwMaxSecondarySampleRate, (int)c.dwFreeHw3DAllBuffers,
      (int)c.dwFreeHw3DStaticBuffers, (int)c.dwFreeHw3DStreamingBuffers, (int)c.dwFreeHwMixingAllBuffers,
      (int)c.dwFreeHwMixingStaticBuffers, (int)c.dwFreeHwMixingStreamingBuffers, (int)c.dwMaxHwMixingAllBuffers,
      (int)c.dwMaxHwMixingStaticBuffers, (int)c.dwMaxHwMixingStreamingBuffers, (int)c.dwMaxHw3DAllBuffers,
      (int)c.dwMaxHw3DStaticBuffers, (int)c.dwMaxHw3DStreamingBuffers, (int)c.dwFreeHwMemBytes,
      (int)c.dwTotalHwMemBytes, (int)c.dwMaxContigFreeHwMemBytes, (int)c.dwUnlockTransferRateHwBuffers,
      (int)c.dwPlayCpuOverheadSwBuffers);
  char text[kFeatureReportCapacity] = "before\n";
  output.GetFeatureReport(text);
  EXPECT_EQ(std::string(text), std::string("before\n") + expected);
}

TEST_F(WineDSound, A2DTestPlays) {
  ASSERT_EQ(output.Init(window, 0, 44100, 2, Mode2D), 1);
  EXPECT_TRUE(View().deviceOpen);
  EXPECT_FALSE(View().listener);
  ASSERT_EQ(CreateEmitter(0, Mode2D), 1);
  ASSERT_EQ(CreateEmitter(1, Mode2D), 1);
  EXPECT_TRUE(View().emitterBuffer);
  EXPECT_FALSE(View().emitter3D);
  EXPECT_EQ(output.PlayEmitter(0), 1);
  EXPECT_EQ(output.PlayEmitter(1), 1);

  const DSoundTestView first = View();
  EXPECT_TRUE(first.emitterStatus & DSBSTATUS_PLAYING);
  EXPECT_TRUE(first.emitterStatus & DSBSTATUS_LOOPING);
  Sleep(150);
  EXPECT_NE(first.emitterPlayCursor, View().emitterPlayCursor) << "the play cursor stood still";

  // The AudioThread's calls do nothing without 3D objects.
  EXPECT_EQ(output.SetEmitterPosition(0, 1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(output.CommitDeferred(1), 0);

  EXPECT_EQ(output.DestroyEmitter(0), 1);
  EXPECT_EQ(output.DestroyEmitter(1), 1);
  EXPECT_FALSE(View().emitterBuffer);
  EXPECT_EQ(output.Close(), 1);
  EXPECT_FALSE(View().deviceOpen);
  EXPECT_FALSE(View().primaryBuffer);
}

TEST_F(WineDSound, Software3DEmittersTakePositionsAndDeferredCommits) {
  ASSERT_EQ(output.Init(window, 0, 44100, 3, Mode3DSoftware), 1);
  ASSERT_TRUE(View().listener);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(CreateEmitter(i, Mode3DSoftware), 1);
  const DSoundTestView created = View(1);
  ASSERT_TRUE(created.emitter3D);
  EXPECT_FALSE(created.emitterPropertySet);

  // Created at its own start position, attenuation from half a unit.
  EXPECT_FLOAT_EQ(created.emitterPosition[0], created.emitterStart[0]);
  EXPECT_FLOAT_EQ(created.emitterPosition[1], created.emitterStart[1]);
  EXPECT_FLOAT_EQ(created.emitterPosition[2], created.emitterStart[2]);
  EXPECT_FLOAT_EQ(created.emitterMinDistance, 0.5f);

  for (int i = 0; i < 3; ++i) EXPECT_EQ(output.PlayEmitter(i), 1);
  EXPECT_EQ(output.SetListenerPosition(0.5f, 0, -1, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.SetListenerOrientation(0, 0, 1, 0, 1, 0, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.SetEmitterPosition(1, 4, 5, 6, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.SetEmitterDistances(1, 2, 40, DS3D_DEFERRED), 1);
  // An index the AudioThread may ask for that was never created.
  EXPECT_EQ(output.SetEmitterPosition(200, 4, 5, 6, DS3D_DEFERRED), 1);
  EXPECT_EQ(output.CommitDeferred(DS3D_DEFERRED), 0);

  const DSoundTestView moved = View(1);
  EXPECT_FLOAT_EQ(moved.emitterPosition[0], 4);
  EXPECT_FLOAT_EQ(moved.emitterPosition[2], 6);
  EXPECT_FLOAT_EQ(moved.emitterMaxDistance, 40);
  EXPECT_FLOAT_EQ(moved.listenerPosition[0], 0.5f);
  EXPECT_FLOAT_EQ(moved.listenerPosition[2], -1);

  for (int i = 0; i < 3; ++i) output.DestroyEmitter(i);
  output.Close();
  EXPECT_FALSE(View().listener);
}

TEST_F(WineDSound, HardwareBuffersAreRefusedAndTheTestGoesOn) {
  for (uint8_t mode : {Mode3DHardware, Mode3DHardwareEax}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(output.Init(window, 0, 44100, 2, mode), 1);
    EXPECT_TRUE(View().listener);
    // Wine has no hardware buffers (E_NOTIMPL).
    EXPECT_EQ(CreateEmitter(0, mode), 0);
    EXPECT_FALSE(View().emitterBuffer);
    EXPECT_EQ(output.PlayEmitter(0), 1);
    EXPECT_EQ(output.SetEmitterPosition(0, 1, 1, 1, 0), 1);
    EXPECT_EQ(output.SetEmitterDistances(1, 1, 10, 0), 1);
    EXPECT_EQ(output.SetListenerPosition(1, 1, 1, 1), 1);
    EXPECT_EQ(output.CommitDeferred(1), 0);
    EXPECT_EQ(output.DestroyEmitter(0), 1);
    EXPECT_EQ(output.Close(), 1);
    EXPECT_FALSE(View().eaxBuffer);
    EXPECT_FALSE(View().eaxListener);
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
  EXPECT_FALSE(View().deviceOpen);
  EXPECT_EQ(output.GetEmitterCount(), 7);
  EXPECT_EQ(CreateEmitter(0, Mode2D), 0);
}

}  // namespace
