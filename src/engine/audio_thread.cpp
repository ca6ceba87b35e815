#include "engine/audio_thread.h"

#include "engine/motion_tables.h"
#include "output/abstract_output.h"
#include "platform/clock.h"

AudioThread::~AudioThread() { Stop(); }

bool AudioThread::Start() { return thread.Start(&AudioThread::Routine, this); }

void AudioThread::Stop() {
  active = false;
  stopRequested = true;
  thread.Join();
}

void AudioThread::Activate(CAbstractOutput& target, uint32_t deferred, int32_t index) {
  output.store(&target);
  deferredMode.store(deferred);
  motionIndex.store(index);
  active.store(true);
}

void AudioThread::Deactivate() {
  active.store(false);
  // Pairs with the pass's own flag check: both sides use sequentially
  // consistent order, so either the pass saw the flag cleared or we see it running.
  while (passInProgress.load()) platform::SleepMilliseconds(1);
}

int32_t AudioThread::MoveSources(CAbstractOutput& output, int32_t index, uint32_t deferred) {
  const int32_t step = (index + 1) & kMotionIndexMask;
  const int apply = static_cast<int>(deferred);
  const ListenerPosition& position = kListenerPositions[step];
  output.SetListenerPosition(position.x, position.y, position.z, apply);
  const ListenerOrientation& o = kListenerOrientations[step];
  output.SetListenerOrientation(o.frontX, o.frontY, o.frontZ, o.topX, o.topY, o.topZ, apply);
  for (int i = 0; i < output.GetEmitterCount(); ++i) {
    const int k = (step + i) & kMotionIndexMask;
    const EmitterPosition& at = kEmitterPositions[k];
    output.SetEmitterPosition(i, at.x, at.y, at.z, apply);
    const EmitterDistances& range = kEmitterDistances[k];
    output.SetEmitterDistances(i, range.minimum, range.maximum, apply);
  }
  output.CommitDeferred(apply);
  return step;
}

void AudioThread::Pass() {
  CAbstractOutput* target = output.load();
  if (target == nullptr) return;
  motionIndex.store(MoveSources(*target, motionIndex.load(std::memory_order_relaxed), deferredMode.load()),
                    std::memory_order_relaxed);
}

void AudioThread::Routine(platform::Thread& self, void* argument) {
  auto& audio = *static_cast<AudioThread*>(argument);
  while (!audio.stopRequested.load()) {
    self.SuspendPoint();
    audio.passInProgress.store(true);
    if (audio.active.load() && !audio.stopRequested.load()) audio.Pass();
    audio.passInProgress.store(false);
    platform::SleepMilliseconds(kPeriodMilliseconds);
  }
}
