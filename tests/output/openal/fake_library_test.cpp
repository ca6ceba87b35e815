// The loader against fake libraries: failures and devices the installed
// OpenAL Soft cannot show.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "output/openal/fake_openal_library.h"
#include "output/openal/openal_library.h"

namespace {

bool IsMapped(const std::string& file) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.find(file) != std::string::npos) return true;
  return false;
}

int BoundCount(const OpenALFunctions& al, int phase) {
  int count = 0;
#define KV3R_COUNT_BOUND(name, type, entryPhase) \
  if (entryPhase == phase && al.name != nullptr) ++count;
  KV3R_OPENAL_ENTRY_POINTS(KV3R_COUNT_BOUND)
#undef KV3R_COUNT_BOUND
  return count;
}

void ExpectNothingOpen(const FakeOpenALLibrary& fake) {
  const FakeOpenALState state = fake.State();
  EXPECT_EQ(state.openDevices, 0);
  EXPECT_EQ(state.liveContexts, 0);
  EXPECT_EQ(state.currentContextSet, 0);
}

}  // namespace

TEST(OpenALLoaderFake, MissingOneZeroEntryPointFailsAndUnloadsTheLibrary) {
  const std::string file = FAKE_OPENAL_NO_DOPPLER_VELOCITY;
  ASSERT_FALSE(IsMapped(file));
  EXPECT_EQ(LoadOpenALLibrary(file.c_str()), nullptr);
#if !defined(__SANITIZE_ADDRESS__)  // that build keeps closed libraries mapped
  EXPECT_FALSE(IsMapped(file));
#endif
  FreeOpenALLibrary(nullptr);
}

TEST(OpenALLoaderFake, VersionAndSecondPhaseBinding) {
  {
    FakeOpenALLibrary fake(FAKE_OPENAL);
    ASSERT_TRUE(fake.Loaded());
    OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->version, 65537);
    EXPECT_EQ(BoundCount(library->al, 0), 69);
    EXPECT_EQ(BoundCount(library->al, 1), 24);
    FreeOpenALLibrary(library);
  }
  {
    FakeOpenALSetup setup;
    setup.minor = 0;
    FakeOpenALLibrary fake(FAKE_OPENAL, setup);
    OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->version, 65536);
    EXPECT_EQ(BoundCount(library->al, 1), 0) << "a 1.0 library never has its 1.1 entry points bound";
    FreeOpenALLibrary(library);
  }
  {
    FakeOpenALLibrary fake(FAKE_OPENAL_NO_SPEED_OF_SOUND);
    ASSERT_TRUE(fake.Loaded());
    OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->version, 65536) << "1.1 reported, but alSpeedOfSound is missing";
    EXPECT_EQ(library->al.alSpeedOfSound, nullptr);
    EXPECT_NE(library->al.alSource3i, nullptr);
    FreeOpenALLibrary(library);
  }
}

TEST(OpenALLoaderFake, SourceCountBelowTheSoftwareLimitIsKeptAndUnlocksExtensions) {
  FakeOpenALSetup setup;
  setup.extensions = "EAX|EAX2.0|EAX-RAM";
  setup.xramSize = 8 * 1048576;
  setup.xramFree = 5 * 1048576 + 7;
  setup.sourceLimit = 255;
  FakeOpenALLibrary fake(FAKE_OPENAL, setup);
  OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
  ASSERT_NE(library, nullptr);
  const OpenALDeviceInfo& device = library->devices[0];
  EXPECT_EQ(device.hw2DSources, 255);
  EXPECT_EQ(device.hw3DSources, 255);
  EXPECT_EQ(device.eax10, 1);
  EXPECT_EQ(device.eax20, 1);
  EXPECT_EQ(device.eax30, 0);
  EXPECT_EQ(device.xram, 1);
  EXPECT_EQ(device.xramSize, 8 * 1048576);
  EXPECT_EQ(device.xramFree, 5 * 1048576 + 7 - 128) << "read after the probe's own 128-byte buffer";
  // The probe leaves nothing behind.
  EXPECT_EQ(fake.State().liveSources, 0);
  EXPECT_EQ(fake.State().liveBuffers, 0);
  ExpectNothingOpen(fake);
  FreeOpenALLibrary(library);
}

TEST(OpenALLoaderFake, SoftwareDeviceGetsNoCountAndNoExtensions) {
  FakeOpenALSetup setup;
  setup.extensions = "EAX|EAX2.0|EAX-RAM";
  setup.xramSize = 1048576;
  for (int limit : {256, 2000}) {
    setup.sourceLimit = limit;
    FakeOpenALLibrary fake(FAKE_OPENAL, setup);
    OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
    ASSERT_NE(library, nullptr);
    const OpenALDeviceInfo& device = library->devices[0];
    EXPECT_EQ(device.hw2DSources, 0) << limit;
    EXPECT_EQ(device.hw3DSources, 0) << limit;
    EXPECT_EQ(device.eax10 | device.eax20 | device.xram | device.xramSize, 0) << limit;
    EXPECT_EQ(fake.State().liveSources, 0);
    FreeOpenALLibrary(library);
  }
}

TEST(OpenALLoaderFake, EaxNamesWithABlankCount) {
  FakeOpenALSetup setup;
  setup.extensions = "EAX 2.0|EAX 4.0|EAX5.0";
  setup.sourceLimit = 32;
  FakeOpenALLibrary fake(FAKE_OPENAL, setup);
  OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
  ASSERT_NE(library, nullptr);
  const OpenALDeviceInfo& device = library->devices[0];
  EXPECT_EQ(device.eax10, 0);
  EXPECT_EQ(device.eax20, 1);
  EXPECT_EQ(device.eax30, 0);
  EXPECT_EQ(device.eax40, 1);
  EXPECT_EQ(device.eax50, 1);
  FreeOpenALLibrary(library);
}

TEST(OpenALLoaderFake, DeviceListPutsTheDefaultFirstOnce) {
  FakeOpenALSetup setup;
  setup.defaultDevice = "Second";
  setup.deviceList = "First\0Second\0Third\0";
  {
    FakeOpenALLibrary fake(FAKE_OPENAL, setup);
    OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
    ASSERT_NE(library, nullptr);
    ASSERT_EQ(library->deviceCount, 3);
    EXPECT_STREQ(library->devices[0].name, "Second");
    EXPECT_STREQ(library->devices[1].name, "First");
    EXPECT_STREQ(library->devices[2].name, "Third");
    ExpectNothingOpen(fake);
    FreeOpenALLibrary(library);
  }
  setup.enumeration = 0;
  {
    FakeOpenALLibrary fake(FAKE_OPENAL, setup);
    OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
    ASSERT_NE(library, nullptr);
    ASSERT_EQ(library->deviceCount, 1);
    EXPECT_STREQ(library->devices[0].name, "Second");
    FreeOpenALLibrary(library);
  }
}

TEST(OpenALLoaderFake, LongListsAndNamesAreCut) {
  std::string list;
  const std::string longName(200, 'x');
  list += longName + '\0';
  for (int i = 0; i < 40; ++i) list += "Device " + std::to_string(i) + '\0';
  list += '\0';
  FakeOpenALSetup setup;
  setup.defaultDevice = "Default";
  setup.deviceList = list.c_str();
  FakeOpenALLibrary fake(FAKE_OPENAL, setup);
  OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(library->deviceCount, kMaxOpenALDevices);
  EXPECT_EQ(std::string(library->devices[1].name), longName.substr(0, 127));
  EXPECT_STREQ(library->devices[31].name, "Device 29");
  FreeOpenALLibrary(library);
}

TEST(OpenALLoaderFake, NoDefaultNameListsDefaultDeviceAndWarns) {
  FakeOpenALSetup setup;
  setup.defaultDevice = nullptr;
  setup.deviceList = "Ignored\0";
  FakeOpenALLibrary fake(FAKE_OPENAL, setup);
  testing::internal::CaptureStderr();
  OpenALLibrary* library = LoadOpenALLibrary(fake.Path());
  const std::string shown = testing::internal::GetCapturedStderr();
  ASSERT_NE(library, nullptr);
  ASSERT_EQ(library->deviceCount, 1);
  EXPECT_STREQ(library->devices[0].name, "Default device");
  EXPECT_EQ(library->devices[0].hw3DSources, 0) << "the fake allows 256 sources";
  EXPECT_NE(shown.find("Warning"), std::string::npos);
  EXPECT_NE(shown.find("update your drivers, please"), std::string::npos);
  EXPECT_TRUE(IsDefaultDeviceName("DEFAULT DEVICE"));
  EXPECT_FALSE(IsDefaultDeviceName("Default device 2"));
  FreeOpenALLibrary(library);
}

TEST(OpenALLoaderFake, ListedDeviceThatDoesNotOpenFailsTheLoadCleanly) {
  FakeOpenALSetup setup;
  setup.deviceList = "Fake Default\0Broken\0";
  setup.failingDevice = "Broken";
  FakeOpenALLibrary fake(FAKE_OPENAL, setup);
  EXPECT_EQ(LoadOpenALLibrary(fake.Path()), nullptr);
  ExpectNothingOpen(fake);
  EXPECT_EQ(fake.State().liveSources, 0);
}
