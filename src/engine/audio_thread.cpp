#include "engine/audio_thread.h"

#include "engine/benchmark_engine.h"
#include "engine/motion_tables.h"
#include "platform/clock.h"

std::atomic<bool> audioThreadActive{false};
std::atomic<int32_t> motionIndex{0};
std::atomic<BenchmarkEngine*> activeEngine{nullptr};

AudioThread::AudioThread(BenchmarkEngine& owner) : engine(owner) {}

AudioThread::~AudioThread() { Stop(); }

bool AudioThread::Start() { return thread.Start(&AudioThread::Routine, this); }

void AudioThread::Stop() {
  stopRequested = true;
  thread.Join();
}

void AudioThread::WaitForPassToEnd() const {
  // Pairs with the pass's own flag check: both sides use sequentially
  // consistent order, so either the pass saw the flag cleared or we see it running.
  while (passInProgress.load()) platform::SleepMilliseconds(1);
}

void AudioThread::MoveSources(BenchmarkEngine& engine) {
  CAbstractOutput* output = engine.currentOutput;
  if (output == nullptr) return;
  const int32_t step = (motionIndex.load(std::memory_order_relaxed) + 1) & kMotionIndexMask;
  motionIndex.store(step, std::memory_order_relaxed);

  const ListenerPosition& position = kListenerPositions[step];
  output->SetListenerPosition(position.x, position.y, position.z, engine.settings.deferredMode);
  const ListenerOrientation& o = kListenerOrientations[step];
  output->SetListenerOrientation(o.frontX, o.frontY, o.frontZ, o.topX, o.topY, o.topZ,
                                 engine.settings.deferredMode);
  for (int i = 0; i < output->GetEmitterCount(); ++i) {
    const int k = (step + i) & kMotionIndexMask;
    const EmitterPosition& at = kEmitterPositions[k];
    output->SetEmitterPosition(i, at.x, at.y, at.z, engine.settings.deferredMode);
    const EmitterDistances& range = kEmitterDistances[k];
    output->SetEmitterDistances(i, range.minimum, range.maximum, engine.settings.deferredMode);
  }
  output->CommitDeferred(engine.settings.deferredMode);
}

void AudioThread::Routine(platform::Thread& self, void* argument) {
  auto& audio = *static_cast<AudioThread*>(argument);
  while (!audio.stopRequested.load()) {
    self.SuspendPoint();
    audio.passInProgress.store(true);
    if (audioThreadActive.load() && !audio.stopRequested.load()) MoveSources(audio.engine);
    audio.passInProgress.store(false);
    platform::SleepMilliseconds(kPeriodMilliseconds);
  }
}
