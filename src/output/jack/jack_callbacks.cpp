// The client's callbacks, run on libjack's threads.
#include "output/jack/jack_client_state.h"

#include <chrono>
#include <thread>

int JackProcess(jack_nframes_t frames, void* argument) {
  JackClientState& state = *static_cast<JackClientState*>(argument);
  // Both sequentially consistent: either the abandoning thread sees this
  // cycle in progress, or this cycle sees the state abandoned.
  state.inProcess.fetch_add(1, std::memory_order_seq_cst);
  if (!state.abandoned.load(std::memory_order_seq_cst)) {
    for (int i = 0; i < state.portCount; ++i) {
      auto* buffer = static_cast<float*>(state.jack->jack_port_get_buffer(state.ports[i], frames));
      JackEmitter& emitter = state.emitters[i];
      FillJackPort(buffer, emitter.playing.load(std::memory_order_acquire) ? &emitter.source : nullptr, frames);
    }
  }
  state.inProcess.fetch_sub(1, std::memory_order_release);
  return 0;
}

void AbandonJackClientState(JackClientState& state) {
  state.abandoned.store(true, std::memory_order_seq_cst);
  // A cycle copies a period in microseconds; a thread stalled mid-cycle is
  // not waited for past 100 ms.
  for (int waited = 0; state.inProcess.load(std::memory_order_seq_cst) != 0 && waited < 100; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int JackXRun(void* argument) {
  static_cast<JackClientState*>(argument)->xruns.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

void JackShutdown(void* argument) {
  static_cast<JackClientState*>(argument)->serverGone.store(true, std::memory_order_release);
}

void JackWatchShutdown(void* argument) { static_cast<std::atomic<bool>*>(argument)->store(true, std::memory_order_release); }
