#include <gtest/gtest.h>

#include "cpu/cpu_load_meter.h"
#include "engine/emitter_limit.h"
#include "engine/memory_load.h"
#include "platform/clock.h"
#include "results/results_document.h"
#include "support/engine/engine_under_test.h"
#include "engine_run/xml_reading.h"

namespace {

using Items = std::vector<std::string>;

// A run's meter for a test called on its own; the virtual clock supplies the readings.
struct RunMeter {
  explicit RunMeter(BenchmarkEngine& owner) : engine(owner) { engine.meter = CreateMeterForMethod(2); }
  ~RunMeter() {
    delete engine.meter;
    engine.meter = nullptr;
  }
  BenchmarkEngine& engine;
};

struct SoundTestOutcome {
  Items set;
  std::vector<std::string> events;
  std::vector<CallRecordingOutput::InitCall> inits;
  int created = 0;
  std::string log;
};

SoundTestOutcome RunSound(uint32_t bufferCount, uint8_t mode, int hw3DBuffers, uint32_t seconds = 1) {
  EngineUnderTest t(hw3DBuffers);
  TestSettings run = t.engine->settings;
  run.bufferCount = bufferCount;
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  EXPECT_EQ(t.engine->RunSoundTest(seconds * 1000, set, run, mode), 1);
  return {SetContents(set), t.output->Events(), t.output->Inits(), t.output->CreatedCount(), ReadLog()};
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

TEST(SoundTest, ThreeHundredBuffersIn2DMake256EmittersAndInitGetsTheLowByte) {
  const SoundTestOutcome outcome = RunSound(300, 0, 0);
  EXPECT_EQ(outcome.created, 256);
  ASSERT_EQ(outcome.inits.size(), 1u);
  EXPECT_EQ(outcome.inits[0].emitterCount, 44);
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
  EXPECT_EQ(outcome.inits[0].emitterCount, 60) << "Init still receives the setting";

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
  EXPECT_EQ(outcome.set, (Items{"TestMode=Fake 2D", "DeviceName=Fake Device", "nBuffers=0", "SampleRate=44100",
                                "X-RAM=Off", "Result=10.50000000", "Result=11.50000000", "Result=12.50000000",
                                "Result=13.50000000"}));
}

TEST(SoundTest, EmittersAreCreatedAndStartedBeforeMeasuringAndDestroyedBeforeClose) {
  const SoundTestOutcome outcome = RunSound(3, 0, 0);
  EXPECT_EQ(outcome.events, (std::vector<std::string>{"Init", "Create 0", "Create 1", "Create 2", "Play 0",
                                                       "Play 1", "Play 2", "Destroy 0", "Destroy 1", "Destroy 2",
                                                       "Close"}));
  EXPECT_EQ(outcome.log, "Test Init\r\nAllocateEmitters\r\nStartAllEmitters\r\nStopAllEmitters\r\nDone\r\n");
}

TEST(SoundTest, TheAudioThreadMovesTheEmittersOnlyWhileTheyExist) {
  EngineUnderTest t;
  // Real waits of a tenth: the AudioThread gets a few 50 ms periods.
  t.engine->hooks = virtual_clock::Install(-1, 10);
  TestSettings run = t.engine->settings;
  run.bufferCount = 4;
  ResultsDocument document;
  RunMeter meter(*t.engine);
  t.engine->RunSoundTest(2000, document.NewResultsSet(), run, 0);
  const int moves = t.output->moves;
  EXPECT_GT(t.output->listenerMoves, 0);
  EXPECT_GT(moves, 0);
  EXPECT_EQ(moves % 4, 0) << "every pass moves all four emitters";
  EXPECT_FALSE(audioThreadActive);
  platform::SleepMilliseconds(120);
  EXPECT_EQ(t.output->moves, moves) << "nothing moves after the test";
  EXPECT_EQ(t.output->movesOfDestroyed, 0);
}

TEST(SoundTest, EveryEmitterSharesTheSampleDataAndTheSettings) {
  EngineUnderTest t;
  TestSettings run = t.engine->settings;
  run.bufferCount = 2;
  run.sampleSizeKb = 1;
  run.sampleRate = 22050;
  run.useXRam = 1;
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  t.engine->RunSoundTest(1000, set, run, 0);
  EXPECT_EQ(t.output->lastDataSize, 4096);
  EXPECT_EQ(t.output->lastData, t.engine->sampleData.get()) << "the data outlives the test";
  const Items items = SetContents(set);
  EXPECT_EQ(items[3], "SampleRate=22050");
  EXPECT_EQ(items[4], "X-RAM=On");
}

TEST(EmptyTest, DescribesItselfTheSameWayWhateverTheSettings) {
  EngineUnderTest t(0, "Speakers & Phones");
  TestSettings run = t.engine->settings;
  run.sampleRate = 96000;
  run.useXRam = 1;
  run.bufferCount = 99;
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  EXPECT_EQ(t.engine->RunEmptyTest(1000, set, run), 1);
  EXPECT_EQ(SetContents(set), (Items{"TestMode=Empty CPU test", "DeviceName=Speakers & Phones", "nBuffers=0",
                                     "SampleRate=0", "X-RAM=Off", "Result=10.50000000", "Result=11.50000000"}));
  EXPECT_TRUE(t.output->Events().empty()) << "the empty test does not open the back end";
  EXPECT_EQ(virtual_clock::TotalSleptMs(), 2000u + 2 * 500u) << "settling, then one period per reading";
}

TEST(EmptyTest, AMeterFailingAtOnceLeavesTheDescriptionAndNoResult) {
  EngineUnderTest t(0, "Fake Device", 0);
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  t.engine->RunEmptyTest(5000, set, t.engine->settings);
  EXPECT_EQ(SetContents(set).size(), 5u);
  EXPECT_EQ(set->FirstChildElement("Result"), nullptr);
}

TEST(EmptyTest, AMeterFailingLaterKeepsTheReadingsTaken) {
  EngineUnderTest t(0, "Fake Device", 3);
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  t.engine->RunEmptyTest(60000, set, t.engine->settings);
  EXPECT_EQ(SetContents(set).size(), 5u + 3u);
}

TEST(EmptyTest, ALongTestEndsWhenTheStoreIsFull) {
  EngineUnderTest t;
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  t.engine->RunEmptyTest(6000u * 1000u, set, t.engine->settings);
  EXPECT_EQ(virtual_clock::SamplesTaken(), 10240);
  EXPECT_EQ(t.engine->lastRun.tests[RunRecord::kEmptySlot].readings.size(), 10240u);
}

TEST(MemoryLoadInATest, AnUnavailableBlockIsALoggedSkip) {
  EngineUnderTest t;
  TestSettings run = t.engine->settings;
  run.loadMemory = 1;
  // More than any address space this program runs in can give.
  run.memorySizeMb = 0xFFFFFFFFu;
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  t.engine->RunEmptyTest(1000, set, run);
  EXPECT_EQ(SetContents(set).size(), 7u) << "the test still measures";
  EXPECT_EQ(ReadLog(), "Memory load skipped: 4294967295 MB cannot be allocated\r\n");
}

TEST(MemoryLoadInATest, ASmallBlockIsRewrittenAfterEveryReading) {
  EngineUnderTest t;
  TestSettings run = t.engine->settings;
  run.loadMemory = 1;
  run.memorySizeMb = 1;
  run.memoryUsagePercent = 100;
  ResultsDocument document;
  tinyxml2::XMLElement* set = document.NewResultsSet();
  RunMeter meter(*t.engine);
  t.engine->RunEmptyTest(2000, set, run);
  EXPECT_EQ(memoryFillByte, 4) << "one rewrite per reading, starting from 0";
}

}  // namespace
