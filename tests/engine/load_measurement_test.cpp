#include <gtest/gtest.h>

#include "cpu/cpu_load_meter.h"
#include "engine/emitter_limit.h"
#include "engine/memory_load.h"
#include "platform/clock.h"
#include "support/engine/engine_under_test.h"
#include "support/results/xml_reading.h"

namespace {

using Items = std::vector<std::string>;

struct SoundTestOutcome {
  Items set;
  std::vector<std::string> events;
  std::vector<RecordingOutput::InitCall> inits;
  int created = 0;
  std::string log;
  TestRecord record;
};

// The "ResultsSet" the results file would hold for `record`.
Items SetOf(const TestRecord& record) {
  Items items = {std::string("TestMode=") + record.mode, "DeviceName=" + record.deviceName,
                 "nBuffers=" + std::to_string(record.emitters), "SampleRate=" + std::to_string(record.sampleRate),
                 std::string("X-RAM=") + (record.xRam ? "On" : "Off")};
  char text[64];
  for (const float reading : record.readings) {
    std::snprintf(text, sizeof(text), "Result=%3.8f", static_cast<double>(reading));
    items.push_back(text);
  }
  return items;
}

SoundTestOutcome RunSound(uint32_t bufferCount, uint8_t mode, int hw3DBuffers, uint32_t seconds = 1) {
  EngineUnderTest t(hw3DBuffers);
  TestSettings run = EngineUnderTest::Settings();
  run.bufferCount = bufferCount;
  TestRecord record;
  EXPECT_EQ(t.engine->RunSoundTest(seconds * 1000, run, static_cast<SoundMode>(mode), *EngineUnderTest::StartedMeter(),
                                   record),
            1);
  return {SetOf(record), t.output->Events(), t.output->Inits(), t.output->CreatedCount(), ReadLog(), record};
}

TEST(EmitterLimit, HardwareModesStopOneShortOfTheDeviceAndEveryModeAt256) {
  EXPECT_EQ(LimitEmitterCount(60, 2, 32), 31u);
  EXPECT_EQ(LimitEmitterCount(60, 3, 32), 31u);
  EXPECT_EQ(LimitEmitterCount(60, 0, 32), 60u) << "2D ignores the hardware buffers";
  EXPECT_EQ(LimitEmitterCount(16, 2, 1), 0u);
  EXPECT_EQ(LimitEmitterCount(16, 2, 0), 16u) << "0 hardware buffers: no limit";
  EXPECT_EQ(LimitEmitterCount(300, 2, 0), 256u);
  EXPECT_EQ(LimitEmitterCount(60, 2, 64), 60u);
  EXPECT_EQ(LimitEmitterCount(16, 2, 16), 15u);
  EXPECT_EQ(LimitEmitterCount(300, 0, 0), 256u);
  EXPECT_EQ(LimitEmitterCount(0, 0, 0), 0u);
}

TEST(SoundTest, ThreeHundredBuffersIn2DMake256EmittersAndInitIsToldOfAll) {
  const SoundTestOutcome outcome = RunSound(300, 0, 0);
  EXPECT_EQ(outcome.created, 256);
  ASSERT_EQ(outcome.inits.size(), 1u);
  EXPECT_EQ(outcome.inits[0].emitterCount, 256) << "a byte would make it 0, and nothing would move";
  EXPECT_EQ(outcome.inits[0].mode, 0);
  EXPECT_EQ(outcome.inits[0].frequency, 44100);
  ASSERT_GE(outcome.set.size(), 5u);
  EXPECT_EQ(outcome.set[0], "TestMode=Fake 2D");
  EXPECT_EQ(outcome.set[2], "nBuffers=256");
}

TEST(SoundTest, HardwareModesAreLimitedByTheDevice) {
  SoundTestOutcome outcome = RunSound(60, 2, 32);
  EXPECT_EQ(outcome.created, 31);
  EXPECT_EQ(outcome.set[0], "TestMode=Fake 3D hardware");
  EXPECT_EQ(outcome.set[2], "nBuffers=31");
  EXPECT_EQ(outcome.inits[0].emitterCount, 31) << "Init receives the emitters created";

  outcome = RunSound(16, 3, 1);
  EXPECT_EQ(outcome.created, 0);
  EXPECT_EQ(outcome.set[0], "TestMode=Fake 3D hardware + EAX");
  EXPECT_EQ(outcome.set[2], "nBuffers=0");

  outcome = RunSound(16, 3, 0);
  EXPECT_EQ(outcome.created, 16);
}

TEST(SoundTest, NoBuffersStillMeasuresAndSaysZero) {
  const SoundTestOutcome outcome = RunSound(0, 0, 0, 2);
  EXPECT_EQ(outcome.created, 0);
  EXPECT_EQ(outcome.events, (std::vector<std::string>{"Init", "Close"}));
  EXPECT_EQ(outcome.set,
            (Items{"TestMode=Fake 2D", "DeviceName=Fake Device", "nBuffers=0", "SampleRate=44100", "X-RAM=Off",
                   "Result=10.50000000", "Result=11.50000000", "Result=12.50000000", "Result=13.50000000"}));
}

TEST(SoundTest, EmittersAreCreatedAndStartedBeforeMeasuringAndDestroyedBeforeClose) {
  const SoundTestOutcome outcome = RunSound(3, 0, 0);
  EXPECT_EQ(outcome.events, (std::vector<std::string>{"Init", "Create 0", "Create 1", "Create 2", "Play 0", "Play 1",
                                                      "Play 2", "Destroy 0", "Destroy 1", "Destroy 2", "Close"}));
  EXPECT_EQ(outcome.log, "Test Init\r\nAllocateEmitters\r\nStartAllEmitters\r\nStopAllEmitters\r\nDone\r\n");
}

TEST(SoundTest, TheAudioThreadMovesTheEmittersOnlyWhileTheyExist) {
  // Real waits of a tenth: the AudioThread gets a few 50 ms periods.
  EngineUnderTest t(0, "Fake Device", -1, 10);
  TestSettings run = EngineUnderTest::Settings();
  run.bufferCount = 256;
  TestRecord record;
  t.engine->RunSoundTest(2000, run, Mode2D, *EngineUnderTest::StartedMeter(), record);
  const int moves = t.output->moves;
  EXPECT_GT(t.output->listenerMoves, 0);
  EXPECT_GT(moves, 0);
  EXPECT_EQ(moves % 256, 0) << "every pass moves all 256 emitters";
  EXPECT_FALSE(t.engine->AudioThreadHandle()->IsActive());
  platform::SleepMilliseconds(120);
  EXPECT_EQ(t.output->moves, moves) << "nothing moves after the test";
  EXPECT_EQ(t.output->movesOfDestroyed, 0);
}

TEST(SoundTest, EveryEmitterSharesTheSampleDataAndTheSettings) {
  EngineUnderTest t;
  TestSettings run = EngineUnderTest::Settings();
  run.bufferCount = 2;
  run.sampleSizeKb = 1;
  run.sampleRate = 22050;
  run.useXRam = 1;
  TestRecord record;
  t.engine->RunSoundTest(1000, run, Mode2D, *EngineUnderTest::StartedMeter(), record);
  EXPECT_EQ(t.output->lastDataSize, 4096);
  EXPECT_EQ(t.output->lastData, t.engine->Samples().Data()) << "the data outlives the test";
  const Items items = SetOf(record);
  EXPECT_EQ(items[3], "SampleRate=22050");
  EXPECT_EQ(items[4], "X-RAM=On");
}

TEST(EmptyTest, DescribesItselfTheSameWayWhateverTheSettings) {
  EngineUnderTest t(0, "Speakers & Phones");
  TestSettings run = EngineUnderTest::Settings();
  run.sampleRate = 96000;
  run.useXRam = 1;
  run.bufferCount = 99;
  TestRecord record;
  const uint64_t sleptBefore = virtual_clock::TotalSleptMs();
  EXPECT_EQ(t.engine->RunEmptyTest(1000, run, *EngineUnderTest::StartedMeter(), record), 1);
  EXPECT_EQ(SetOf(record), (Items{"TestMode=Empty CPU test", "DeviceName=Speakers & Phones", "nBuffers=0",
                                  "SampleRate=0", "X-RAM=Off", "Result=10.50000000", "Result=11.50000000"}));
  EXPECT_TRUE(t.output->Events().empty()) << "the empty test does not open the back end";
  EXPECT_EQ(virtual_clock::TotalSleptMs() - sleptBefore, 2000u + 2 * 500u) << "settling, then one period per reading";
}

TEST(EmptyTest, AMeterFailingAtOnceLeavesTheDescriptionAndNoResult) {
  EngineUnderTest t(0, "Fake Device", 0);
  TestRecord record;
  t.engine->RunEmptyTest(5000, EngineUnderTest::Settings(), *EngineUnderTest::StartedMeter(), record);
  EXPECT_EQ(SetOf(record).size(), 5u);
  EXPECT_TRUE(record.readings.empty());
}

TEST(EmptyTest, AMeterFailingLaterKeepsTheReadingsTaken) {
  EngineUnderTest t(0, "Fake Device", 3);
  TestRecord record;
  t.engine->RunEmptyTest(60000, EngineUnderTest::Settings(), *EngineUnderTest::StartedMeter(), record);
  EXPECT_EQ(record.readings.size(), 3u);
}

TEST(EmptyTest, ALongTestEndsWhenTheStoreIsFull) {
  EngineUnderTest t;
  TestRecord record;
  t.engine->RunEmptyTest(6000u * 1000u, EngineUnderTest::Settings(), *EngineUnderTest::StartedMeter(), record);
  EXPECT_EQ(virtual_clock::SamplesTaken(), 10240);
  EXPECT_EQ(record.readings.size(), 10240u);
}

TEST(MemoryLoadInATest, AnUnavailableBlockIsALoggedSkip) {
  EngineUnderTest t;
  TestSettings run = EngineUnderTest::Settings();
  run.loadMemory = 1;
  // More than any address space this program runs in can give.
  run.memorySizeMb = 0xFFFFFFFFu;
  TestRecord record;
  t.engine->RunEmptyTest(1000, run, *EngineUnderTest::StartedMeter(), record);
  EXPECT_EQ(record.readings.size(), 2u) << "the test still measures";
  EXPECT_EQ(ReadLog(), "Memory load skipped: 4294967295 MB cannot be allocated\r\n");
}

}  // namespace
