#pragma once
#include <atomic>
#include <cstdint>

#include "platform/thread.h"

class BenchmarkEngine;

// Shared with the load tests: the thread moves sources only while
// audioThreadActive is set. A test creates and starts every emitter, resets
// motionIndex to 0, then sets the flag; at teardown it clears the flag and
// calls AudioThread::WaitForPassToEnd before it destroys anything.
extern std::atomic<bool> audioThreadActive;
extern std::atomic<int32_t> motionIndex;
extern std::atomic<BenchmarkEngine*> activeEngine;

// The 50 ms loop that moves the listener and every emitter of the engine's
// current back end through the motion tables.
class AudioThread {
 public:
  static constexpr uint32_t kPeriodMilliseconds = 50;

  explicit AudioThread(BenchmarkEngine& engine);
  ~AudioThread();  // Stop()

  bool Start();
  bool SetPriority(platform::ThreadPriority priority) { return thread.SetPriority(priority); }
  int Suspend() { return thread.Suspend(); }
  int Resume() { return thread.Resume(); }

  // Returns once no update pass is running; with audioThreadActive cleared
  // before the call, no back-end call follows until it is set again.
  void WaitForPassToEnd() const;

  // Ends the loop and waits for the thread: no back-end call after it returns.
  void Stop();

  // One update pass over the engine's current back end (what the loop does
  // every period while the flag is set).
  static void MoveSources(BenchmarkEngine& engine);

 private:
  static void Routine(platform::Thread& self, void* argument);

  BenchmarkEngine& engine;
  platform::Thread thread;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> passInProgress{false};
};
