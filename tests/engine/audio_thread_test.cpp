#include <gtest/gtest.h>

#include <vector>

#include "engine/benchmark_engine.h"
#include "engine/motion_tables.h"
#include "platform/clock.h"
#include "support/output/recording_output.h"

namespace {

class AudioThreadTest : public ::testing::Test {
 protected:
  RecordingOutput* recorder = nullptr;  // owned by the engine made with kRecorder
  const OutputFactory kRecorder[1] = {{"CRecording", [this] {
                                         recorder = new RecordingOutput("Recording");
                                         return std::unique_ptr<CAbstractOutput>(recorder);
                                       }}};

  // Lets the thread run until it has made at least `passes` commits, then deactivates it.
  std::vector<RecordingOutput::Call> RunPasses(BenchmarkEngine& engine, int passes) {
    const uint32_t start = platform::TickCount();
    for (;;) {
      int commits = 0;
      for (const auto& call : recorder->Calls()) commits += call.operation == "CommitDeferred";
      if (commits >= passes || platform::TickCount() - start > 5000) break;
      platform::SleepMilliseconds(5);
    }
    engine.AudioThreadHandle()->Deactivate();
    return recorder->Calls();
  }
};

TEST_F(AudioThreadTest, FirstPassAfterAResetUsesEntryOneAndEmittersFollowOn) {
  BenchmarkEngine engine(nullptr, nullptr, kRecorder);
  recorder->Init(nullptr, 0, 44100, 3, Mode3DHardware);
  engine.AudioThreadHandle()->Activate(*recorder, 1);
  const auto calls = RunPasses(engine, 1);

  // listener, listener, then per emitter: count, position, distances; count; commit.
  ASSERT_GE(calls.size(), 13u);
  EXPECT_EQ(calls[0].operation, "SetListenerPosition");
  EXPECT_FLOAT_EQ(calls[0].a, kListenerPositions[1].x);
  EXPECT_FLOAT_EQ(calls[0].c, kListenerPositions[1].z);
  EXPECT_EQ(calls[1].operation, "SetListenerOrientation");
  EXPECT_FLOAT_EQ(calls[1].a, kListenerOrientations[1].frontX);
  size_t at = 2;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(calls[at++].operation, "GetEmitterCount") << "asked before every step";
    const auto& position = calls[at++];
    EXPECT_EQ(position.operation, "SetEmitterPosition");
    EXPECT_EQ(position.index, i);
    EXPECT_FLOAT_EQ(position.a, kEmitterPositions[1 + i].x);
    const auto& distances = calls[at++];
    EXPECT_EQ(distances.operation, "SetEmitterDistances");
    EXPECT_FLOAT_EQ(distances.b, kEmitterDistances[1 + i].maximum);
  }
  EXPECT_EQ(calls[at++].operation, "GetEmitterCount");
  EXPECT_EQ(calls[at].operation, "CommitDeferred");
  for (size_t i = 0; i <= at; ++i) {
    if (calls[i].operation != "GetEmitterCount") {
      EXPECT_EQ(calls[i].apply, 1) << "call " << i;
    }
  }
}

TEST_F(AudioThreadTest, EachLaterPassMovesEverySourceOnByOneEntry) {
  BenchmarkEngine engine(nullptr, nullptr, kRecorder);
  recorder->Init(nullptr, 0, 44100, 1, Mode2D);
  // The index wraps within the table.
  engine.AudioThreadHandle()->Activate(*recorder, 0, kMotionTableSize - 2);
  const auto calls = RunPasses(engine, 3);
  std::vector<float> listenerX;
  for (const auto& call : calls) {
    if (call.operation == "SetListenerPosition") listenerX.push_back(call.a);
    if (call.operation != "GetEmitterCount") {
      EXPECT_EQ(call.apply, 0);
    }
  }
  ASSERT_GE(listenerX.size(), 3u);
  EXPECT_FLOAT_EQ(listenerX[0], kListenerPositions[kMotionTableSize - 1].x);
  EXPECT_FLOAT_EQ(listenerX[1], kListenerPositions[0].x);
  EXPECT_FLOAT_EQ(listenerX[2], kListenerPositions[1].x);
}

TEST_F(AudioThreadTest, NoCallAfterTheFlagIsClearedAndThePassHasEnded) {
  BenchmarkEngine engine(nullptr, nullptr, kRecorder);
  recorder->Init(nullptr, 0, 44100, 200, Mode2D);
  engine.AudioThreadHandle()->Activate(*recorder, 0);
  RunPasses(engine, 2);
  const size_t settled = recorder->Calls().size();
  platform::SleepMilliseconds(3 * AudioThread::kPeriodMilliseconds);
  EXPECT_EQ(recorder->Calls().size(), settled);
}

TEST_F(AudioThreadTest, IdlesWhileTheFlagIsClear) {
  BenchmarkEngine engine(nullptr, nullptr, kRecorder);
  platform::SleepMilliseconds(3 * AudioThread::kPeriodMilliseconds);
  EXPECT_TRUE(recorder->Calls().empty());
}

TEST_F(AudioThreadTest, DestructionStopsTheThreadBeforeTheBackEndsGo) {
  // A thread still moving sources while the engine is destroyed must stop
  // before the back end is deleted (a sanitizer or a crash would show it).
  for (int round = 0; round < 3; ++round) {
    auto engine = std::make_unique<BenchmarkEngine>(nullptr, nullptr, kRecorder);
    recorder->Init(nullptr, 0, 44100, 256, Mode2D);
    engine->AudioThreadHandle()->Activate(*recorder, 0);
    platform::SleepMilliseconds(60);
    engine.reset();
  }
  SUCCEED();
}

TEST_F(AudioThreadTest, SuspendedThreadDoesNotMoveSources) {
  BenchmarkEngine engine(nullptr, nullptr, kRecorder);
  recorder->Init(nullptr, 0, 44100, 1, Mode2D);
  AudioThread& thread = *engine.AudioThreadHandle();
  EXPECT_EQ(thread.Suspend(), 0);
  platform::SleepMilliseconds(2 * AudioThread::kPeriodMilliseconds);  // a pass in progress ends
  recorder->ClearCalls();
  thread.Activate(*recorder, 0);
  platform::SleepMilliseconds(3 * AudioThread::kPeriodMilliseconds);
  EXPECT_TRUE(recorder->Calls().empty());
  EXPECT_EQ(thread.Resume(), 1);
  RunPasses(engine, 1);
  EXPECT_FALSE(recorder->Calls().empty());
}

}  // namespace
