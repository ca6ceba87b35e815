// The DirectSound back end against a DirectSound of our own, for cards Wine
// cannot be: everything is seen through the fake and the output contract.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "output/dsound/dsound_ids.h"
#include "output/dsound/dsound_output.h"
#include "support/dsound/fake_direct_sound.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Report(CAbstractOutput& output, int device) {
  char text[kFeatureReportCapacity] = {};
  output.SelectDevice(device);
  output.GetFeatureReport(text);
  return text;
}

TEST(FakeDSound, HardwareBufferCountsAreCappedAndNeedMoreThanTwo) {
  fake_dsound::FakeDirectSound system;
  system.AddDevice(0).caps.dwFreeHw3DAllBuffers = 300;
  system.devices[0].caps.dwFreeHwMixingAllBuffers = 2;
  system.AddDevice(1).caps.dwFreeHwMixingAllBuffers = 3;
  system.devices[1].caps.dwFreeHw3DAllBuffers = 2;
  const auto made = CreateDirectSoundOutput(system.Api());
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.GetDeviceCount(), 2);

  EXPECT_EQ(output.GetHw3DBufferCount(0), 256);
  EXPECT_EQ(output.GetHw2DBufferCount(0), 2);
  EXPECT_EQ(output.GetFeature(0, Hardware3D), 1);
  EXPECT_EQ(output.GetFeature(0, Hardware2D), 0);
  const std::string first = Report(output, 0);
  EXPECT_THAT(first, HasSubstr("Features:\nDevice has not enough hardware 2D buffers\n"
                               "DirectSound 3D Hardware: Yes\n"));
  // The report shows the card's own figure, not the capped one.
  EXPECT_THAT(first, HasSubstr("  dwFreeHw3DAllBuffers 300 \n"));

  EXPECT_EQ(output.GetFeature(1, Hardware2D), 1);
  EXPECT_EQ(output.GetFeature(1, Hardware3D), 0);
  EXPECT_THAT(Report(output, 1), HasSubstr("Features:\nDirectSound 2D Hardware: Yes\n"
                                           "Device has not enough hardware 3D buffers\n"));
  EXPECT_EQ(output.GetHw3DBufferCount(2), 0);
  EXPECT_EQ(output.GetFeature(-1, Version), 0);
}

TEST(FakeDSound, KeepsThirtyTwoDevicesAndLeavesOutBrokenOnes) {
  fake_dsound::FakeDirectSound system;
  for (int i = 0; i < 36; ++i) system.AddDevice(i);
  system.devices[1].createFails = true;
  system.devices[2].capsFails = true;
  const auto made = CreateDirectSoundOutput(system.Api());
  CAbstractOutput& output = *made;

  ASSERT_EQ(output.GetDeviceCount(), 32);
  char name[kDeviceNameCapacity] = {};
  output.GetDeviceName(0, name);
  EXPECT_STREQ(name, "Fake card 0 (fake.sys)");
  output.GetDeviceName(1, name);
  EXPECT_STREQ(name, "Fake card 3 (fake.sys)");
  output.GetDeviceName(31, name);
  EXPECT_STREQ(name, "Fake card 33 (fake.sys)");
  // The 35th and 36th devices were offered but never opened.
  EXPECT_EQ(system.enumerationCalls, 1 + 36);
  EXPECT_EQ(system.createCalls, 34);
  EXPECT_EQ(system.liveObjects, 0);
}

// The primary sound driver (no GUID) again after device "A": the list ends.
const GUID* enumerationOrder[4];
HRESULT WINAPI EnumerateWithTwoPrimaryEntries(LPDSENUMCALLBACKA callback, void* context) {
  const char* names[4] = {"Primary", "A", "Primary", "B"};
  for (int i = 0; i < 4; ++i) {
    if (!callback(const_cast<GUID*>(enumerationOrder[i]), names[i], "m", context)) break;
  }
  return S_OK;
}

TEST(FakeDSound, PrimaryDriverEntryEndsTheListOnceADeviceIsRecorded) {
  fake_dsound::FakeDirectSound system;
  system.AddDevice(0);
  system.AddDevice(1);
  enumerationOrder[0] = nullptr;
  enumerationOrder[1] = &system.devices[0].guid;
  enumerationOrder[2] = nullptr;
  enumerationOrder[3] = &system.devices[1].guid;
  DSoundApi api = system.Api();
  api.enumerate = &EnumerateWithTwoPrimaryEntries;
  const auto made = CreateDirectSoundOutput(api);
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.GetDeviceCount(), 1);
  char name[kDeviceNameCapacity] = {};
  output.GetDeviceName(0, name);
  EXPECT_STREQ(name, "A (m)");
}

TEST(FakeDSound, EaxVersionIsAvailableOnlyWhenBothSetsAnswerGetAndSet) {
  fake_dsound::FakeDirectSound system;
  fake_dsound::Device& card = system.AddDevice(0);
  card.supportedSets = {dsound_ids::kEax[2].listener, dsound_ids::kEax[2].buffer, dsound_ids::kEax[3].listener,
                        dsound_ids::kZoomFxBuffer};
  const auto made = CreateDirectSoundOutput(system.Api());
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.GetDeviceCount(), 1);

  EXPECT_EQ(output.GetFeature(0, Eax10), 0);
  EXPECT_EQ(output.GetFeature(0, Eax20), 0);
  EXPECT_EQ(output.GetFeature(0, Eax30), 1);
  EXPECT_EQ(output.GetFeature(0, Eax40), 0);  // listener set only
  EXPECT_EQ(output.GetFeature(0, Eax50), 0);
  EXPECT_EQ(output.GetFeature(0, ZoomFx), 1);
  EXPECT_EQ(output.GetFeature(0, XRam), 0);
  EXPECT_THAT(Report(output, 0), HasSubstr("EAX 2.0: N/A\nEAX 3.0: Available \nEAX 4.0: N/A\n"));
  // Every probe used a 128-byte static 3D buffer and released it.
  ASSERT_EQ(system.buffers.size(), 6u);
  for (const fake_dsound::BufferRecord& probe : system.buffers) {
    EXPECT_EQ(probe.flags, 0x12u);
    EXPECT_EQ(probe.bytes, 128u);
    EXPECT_EQ(probe.rate, 44100u);
  }
  EXPECT_EQ(system.liveObjects, 0);
}

class FakeCardTest : public ::testing::Test {
 protected:
  FakeCardTest() {
    fake_dsound::Device& card = system.AddDevice(0);
    card.caps.dwFreeHw3DAllBuffers = 64;
    output = CreateDirectSoundOutput(system.Api());
    // Only what the tests do, not the probes at construction.
    system.buffers.clear();
    system.buffers3DHandedOut = 0;
    system.propertySetsHandedOut = 0;
  }
  int CreateEmitter(int index, int frequency, uint8_t mode) {
    return output->CreateEmitter(index, static_cast<int>(data.size()), data.data(), frequency, mode, 0, 1);
  }

  fake_dsound::FakeDirectSound system;
  std::unique_ptr<CAbstractOutput> output;
  std::vector<uint8_t> data = std::vector<uint8_t>(1000);
  HWND window = reinterpret_cast<HWND>(0x1234);
};

TEST_F(FakeCardTest, SecondaryRateIsMovedIntoTheDeviceRangeButThePrimaryKeepsTheUsers) {
  ASSERT_EQ(output->Init(window, 0, 200000, 3, Mode2D), 1);
  EXPECT_EQ(system.primaryRate, 200000u);
  EXPECT_EQ(system.cooperativeWindow, window);
  EXPECT_EQ(system.cooperativeLevel, static_cast<DWORD>(DSSCL_EXCLUSIVE));
  ASSERT_EQ(CreateEmitter(0, 200000, Mode2D), 1);
  ASSERT_EQ(CreateEmitter(1, 50, Mode2D), 1);
  ASSERT_EQ(CreateEmitter(2, 44100, Mode2D), 1);
  ASSERT_EQ(system.buffers.size(), 4u);  // primary, then three emitters
  EXPECT_TRUE(system.buffers[0].primary);
  EXPECT_EQ(system.buffers[0].flags, static_cast<DWORD>(DSBCAPS_PRIMARYBUFFER));
  EXPECT_EQ(system.buffers[1].rate, 100000u);
  EXPECT_EQ(system.buffers[2].rate, 100u);
  EXPECT_EQ(system.buffers[3].rate, 44100u);
  EXPECT_EQ(system.buffers[3].bytes, 1000u);
  EXPECT_EQ(system.buffers[3].flags, 0x48080u);
  for (int i = 0; i < 3; ++i) output->DestroyEmitter(i);
  output->Close();
  EXPECT_EQ(system.liveObjects, 0);
}

TEST_F(FakeCardTest, EachModeCreatesItsKindOfBuffer) {
  const DWORD expected[] = {0x48080, 0x8098, 0x8094, 0x8094};
  for (uint8_t mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(int(mode));
    system.buffers.clear();
    const bool is3D = mode != Mode2D;
    const bool isEax = mode == Mode3DHardwareEax;
    const int listeners = system.listenersHandedOut;
    const int buffers3D = system.buffers3DHandedOut;
    const int propertySets = system.propertySetsHandedOut;
    const size_t sets = system.sets.size();
    ASSERT_EQ(output->Init(window, 0, 44100, 1, mode), 1);
    EXPECT_EQ(system.listenersHandedOut - listeners, is3D ? 1 : 0);
    EXPECT_EQ(system.propertySetsHandedOut - propertySets, isEax ? 1 : 0) << "the EAX listener's";
    EXPECT_EQ(system.sets.size() - sets, isEax ? 1u : 0u) << "the reverb goes to the EAX listener";
    ASSERT_EQ(CreateEmitter(0, 44100, mode), 1);
    EXPECT_EQ(system.buffers.back().flags, expected[mode]);
    EXPECT_EQ(system.buffers[0].flags, mode == Mode2D ? 0x1u : 0x11u);
    EXPECT_EQ(system.buffers3DHandedOut - buffers3D, is3D ? 1 : 0);
    EXPECT_EQ(system.propertySetsHandedOut - propertySets, isEax ? 2 : 0) << "and the emitter's";
    // The AudioThread's calls reach the listener and the emitter's 3D
    // buffer exactly when the mode has them.
    const int listenerMoves = system.listenerPositions;
    const int emitterMoves = system.emitterPositions;
    EXPECT_EQ(output->SetListenerPosition(1, 2, 3, 0), 1);
    EXPECT_EQ(output->SetEmitterPosition(0, 1, 2, 3, 0), 1);
    EXPECT_EQ(system.listenerPositions - listenerMoves, is3D ? 1 : 0);
    EXPECT_EQ(system.emitterPositions - emitterMoves, is3D ? 1 : 0);
    output->DestroyEmitter(0);
    output->Close();
    EXPECT_EQ(system.liveObjects, 0);
    EXPECT_EQ(system.overReleases, 0);
  }
}

TEST_F(FakeCardTest, Mode3SetsTheDizzyReverbOnTheEax20Listener) {
  ASSERT_EQ(output->Init(window, 0, 44100, 1, Mode3DHardwareEax), 1);
  ASSERT_EQ(system.buffers.size(), 2u);
  EXPECT_EQ(system.buffers[1].flags, 0x12u);
  EXPECT_EQ(system.buffers[1].bytes, 40u);
  EXPECT_EQ(system.buffers[1].rate, 8000u);
  EXPECT_EQ(system.buffers[1].bits, 8);
  ASSERT_EQ(system.sets.size(), 1u);
  const fake_dsound::PropertySet& set = system.sets[0];
  EXPECT_TRUE(set.set == GUID({0x0306A6A8, 0xB224, 0x11D2, {0x99, 0xE5, 0x00, 0x00, 0xE8, 0xD8, 0xC7, 0x22}}));
  EXPECT_EQ(set.id, 1u);
  ASSERT_EQ(set.data.size(), 56u);
  auto at = [&](size_t offset) {
    int32_t v;
    std::memcpy(&v, set.data.data() + offset, 4);
    return v;
  };
  auto realAt = [&](size_t offset) {
    float v;
    std::memcpy(&v, set.data.data() + offset, 4);
    return v;
  };
  EXPECT_EQ(at(0), -1000);
  EXPECT_EQ(at(4), -400);
  EXPECT_FLOAT_EQ(realAt(12), 17.23f);
  EXPECT_EQ(at(20), -1713);
  EXPECT_EQ(at(28), -613);
  EXPECT_EQ(at(36), 24);
  EXPECT_FLOAT_EQ(realAt(48), -5.0f);
  EXPECT_EQ(at(52), 0x1F);
  output->Close();
}

TEST_F(FakeCardTest, AFailingInitCallKeepsWhatWasCreatedForClose) {
  for (const char* call : {"SetCooperativeLevel", "CreateSoundBuffer(primary)", "SetFormat", "QueryInterface(listener)",
                           "CreateSoundBuffer(secondary)", "QueryInterface(IKsPropertySet)"}) {
    SCOPED_TRACE(call);
    system.failingCall = call;
    EXPECT_EQ(output->Init(window, 0, 44100, 1, Mode3DHardwareEax), 0);
    EXPECT_GT(system.liveObjects, 0) << "the device stays open for Close";
    EXPECT_EQ(output->Close(), 1);
    EXPECT_EQ(system.liveObjects, 0);
    // Close forgot what it released: a second one releases nothing again.
    EXPECT_EQ(output->Close(), 1);
    EXPECT_EQ(system.overReleases, 0);
  }
  system.failingCall = "SetFormat";
  const int listeners = system.listenersHandedOut;
  output->Init(window, 0, 44100, 1, Mode3DSoftware);
  EXPECT_EQ(system.liveObjects, 2) << "the device and its primary buffer";
  EXPECT_EQ(system.listenersHandedOut, listeners) << "no listener after the failure";
  const int listenerMoves = system.listenerPositions;
  EXPECT_EQ(output->SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(system.listenerPositions, listenerMoves);
  output->Close();
  EXPECT_EQ(system.liveObjects, 0);
  EXPECT_EQ(system.overReleases, 0);
  // A later test opens again.
  system.failingCall.clear();
  EXPECT_EQ(output->Init(window, 0, 44100, 1, Mode3DHardwareEax), 1);
  output->Close();
  EXPECT_EQ(system.liveObjects, 0);
}

TEST_F(FakeCardTest, AFailingEmitterCallKeepsWhatWasCreatedForDestroy) {
  ASSERT_EQ(output->Init(window, 0, 44100, 1, Mode3DHardwareEax), 1);
  const int open = system.liveObjects;
  const int propertySets = system.propertySetsHandedOut;
  system.failingCall = "Lock";
  EXPECT_EQ(CreateEmitter(0, 44100, Mode3DHardwareEax), 0);
  EXPECT_EQ(system.propertySetsHandedOut - propertySets, 1) << "it got as far as the property set";
  EXPECT_EQ(system.liveObjects, open + 1) << "the emitter's buffer is kept for DestroyEmitter";
  output->DestroyEmitter(0);
  EXPECT_EQ(system.liveObjects, open) << "every interface of it released";
  output->DestroyEmitter(0);
  EXPECT_EQ(system.overReleases, 0) << "and forgotten";
  output->Close();
  EXPECT_EQ(system.liveObjects, 0);
  EXPECT_EQ(system.overReleases, 0);
}

TEST_F(FakeCardTest, CopiesTheSampleBlockAcrossBothLockedRegions) {
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  system.lockSplit = 300;
  ASSERT_EQ(output->Init(window, 0, 44100, 1, Mode2D), 1);
  ASSERT_EQ(CreateEmitter(0, 44100, Mode2D), 1);
  EXPECT_EQ(system.lastUnlocked, data);
  output->DestroyEmitter(0);
  output->Close();
}

TEST_F(FakeCardTest, CommitsOnlyDeferredSettingsAndAlwaysAnswersZero) {
  EXPECT_EQ(output->CommitDeferred(1), 0);  // nothing open
  ASSERT_EQ(output->Init(window, 0, 44100, 1, Mode3DSoftware), 1);
  EXPECT_EQ(output->CommitDeferred(0), 0);
  EXPECT_EQ(system.commits, 0);
  EXPECT_EQ(output->CommitDeferred(1), 0);
  EXPECT_EQ(system.commits, 1);
  output->Close();
}

TEST_F(FakeCardTest, RefusesEmitterIndexesOutsideTheSlots) {
  ASSERT_EQ(output->Init(window, 0, 44100, 1, Mode3DSoftware), 1);
  const size_t before = system.buffers.size();
  EXPECT_EQ(CreateEmitter(256, 44100, Mode3DSoftware), 0);
  EXPECT_EQ(CreateEmitter(-1, 44100, Mode3DSoftware), 0);
  EXPECT_EQ(system.buffers.size(), before);
  EXPECT_EQ(output->SetEmitterPosition(256, 1, 2, 3, 0), 1);
  EXPECT_EQ(output->SetEmitterDistances(-5, 1, 2, 0), 1);
  EXPECT_EQ(output->PlayEmitter(1000), 1);
  EXPECT_EQ(output->DestroyEmitter(256), 1);
  EXPECT_EQ(system.emitterPositions, 0);
  // A 3D emitter is placed at its start position when created.
  ASSERT_EQ(CreateEmitter(255, 44100, Mode3DSoftware), 1);
  EXPECT_EQ(system.emitterPositions, 1);
  output->DestroyEmitter(255);
  output->Close();
}

// Each 3D emitter is created at its slot's start position: in the cube
// -1..1, different from slot to slot, the same in every test.
TEST_F(FakeCardTest, StartPositionsLieInTheUnitCubeDifferAndStay) {
  ASSERT_EQ(output->Init(window, 0, 44100, kMaxEmitters, Mode3DSoftware), 1);
  system.emitterPositionValues.clear();
  for (int i = 0; i < kMaxEmitters; ++i) ASSERT_EQ(CreateEmitter(i, 44100, Mode3DSoftware), 1);
  const std::vector<D3DVECTOR> starts = system.emitterPositionValues;
  ASSERT_EQ(starts.size(), static_cast<size_t>(kMaxEmitters));
  int distinct = 0;
  for (size_t i = 0; i < starts.size(); ++i) {
    for (float v : {starts[i].x, starts[i].y, starts[i].z}) {
      EXPECT_GE(v, -1.0f);
      EXPECT_LE(v, 1.0f);
    }
    if (i > 0 && starts[i].x != starts[i - 1].x) ++distinct;
  }
  EXPECT_GT(distinct, 200);
  for (int i = 0; i < kMaxEmitters; ++i) output->DestroyEmitter(i);
  output->Close();

  ASSERT_EQ(output->Init(window, 0, 44100, 1, Mode3DHardware), 1);
  system.emitterPositionValues.clear();
  ASSERT_EQ(CreateEmitter(77, 44100, Mode3DHardware), 1);
  ASSERT_EQ(system.emitterPositionValues.size(), 1u);
  EXPECT_EQ(system.emitterPositionValues[0].x, starts[77].x);
  EXPECT_EQ(system.emitterPositionValues[0].y, starts[77].y);
  EXPECT_EQ(system.emitterPositionValues[0].z, starts[77].z);
  output->DestroyEmitter(77);
  output->Close();
  EXPECT_EQ(system.liveObjects, 0);
}

}  // namespace
