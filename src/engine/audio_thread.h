#pragma once
#include <atomic>
#include <cstdint>

#include "platform/thread.h"

class CAbstractOutput;

// The 50 ms loop that moves the listener and every emitter of one back end
// through the motion tables while a sound test measures.
//
// Hand-over with the test thread: a test creates and starts every emitter,
// then calls Activate (the back end, the deferred mode and motion entry 0
// are published before the active flag); at teardown it calls Deactivate,
// which clears the flag and waits for a pass in progress, before it
// destroys anything. Between the two, only this thread calls the 3D
// operations of that back end.
class AudioThread {
 public:
  static constexpr uint32_t kPeriodMilliseconds = 50;

  AudioThread() = default;
  ~AudioThread();  // Stop()
  AudioThread(const AudioThread&) = delete;
  AudioThread& operator=(const AudioThread&) = delete;

  bool Start();
  bool SetPriority(platform::ThreadPriority priority) { return thread.SetPriority(priority); }
  int Suspend() { return thread.Suspend(); }
  int Resume() { return thread.Resume(); }

  // Moves `output`'s sources from the next pass on, from motion entry
  // `motionIndex` + 1, with `deferredMode` as every call's `apply`.
  void Activate(CAbstractOutput& output, uint32_t deferredMode, int32_t motionIndex = 0);
  // Returns once no pass is running: no back-end call follows until the next Activate.
  void Deactivate();
  bool IsActive() const { return active.load(); }
  // The motion entry of the latest pass.
  int32_t MotionIndex() const { return motionIndex.load(std::memory_order_relaxed); }

  // Ends the loop and waits for the thread: no back-end call after it returns.
  void Stop();

  // One update pass: moves the listener and `output`'s emitters on from
  // `motionIndex` by one entry and returns the new entry.
  static int32_t MoveSources(CAbstractOutput& output, int32_t motionIndex, uint32_t deferredMode);

 private:
  static void Routine(platform::Thread& self, void* argument);
  void Pass();

  platform::Thread thread;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> passInProgress{false};
  std::atomic<bool> active{false};
  std::atomic<CAbstractOutput*> output{nullptr};
  std::atomic<uint32_t> deferredMode{0};
  std::atomic<int32_t> motionIndex{0};
};
