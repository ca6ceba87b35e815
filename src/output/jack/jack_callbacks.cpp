// The client's callbacks, run on libjack's threads.
#include "output/jack/jack_client_state.h"

int JackProcess(jack_nframes_t frames, void* argument) {
  JackClientState& state = *static_cast<JackClientState*>(argument);
  for (int i = 0; i < state.portCount; ++i) {
    auto* buffer = static_cast<float*>(state.jack->jack_port_get_buffer(state.ports[i], frames));
    JackEmitter& emitter = state.emitters[i];
    FillJackPort(buffer, emitter.playing.load(std::memory_order_acquire) ? &emitter.source : nullptr, frames);
  }
  return 0;
}

int JackXRun(void* argument) {
  static_cast<JackClientState*>(argument)->xruns.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

void JackShutdown(void* argument) {
  static_cast<JackClientState*>(argument)->serverGone.store(true, std::memory_order_release);
}

void JackWatchShutdown(void* argument) { static_cast<std::atomic<bool>*>(argument)->store(true, std::memory_order_release); }
