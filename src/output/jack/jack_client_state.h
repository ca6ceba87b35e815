#pragma once
#include <atomic>
#include <cstdint>

#include "output/abstract_output.h"
#include "output/jack/jack_api.h"
#include "output/jack/jack_port_copy.h"

// One emitter: its sound, handed to the process thread by `playing`. The
// engine's thread writes `source` only while `playing` is false and the
// callback does not read it; the callback alone moves its position.
struct JackEmitter {
  JackSource source;
  std::atomic<bool> playing{false};
};

// What a test's open client shares with the callbacks libjack runs on its
// own threads. The ports are registered before activation and unregistered
// after deactivation, so the process callback sees a fixed table.
struct JackClientState {
  const JackFunctions* jack = nullptr;
  jack_client_t* client = nullptr;
  int portCount = 0;
  jack_port_t* ports[kMaxEmitters] = {};
  JackEmitter emitters[kMaxEmitters];
  std::atomic<uint32_t> xruns{0};
  std::atomic<bool> serverGone{false};
  // A client left open on a dead server is never deactivated, and libjack
  // may run one more cycle on a thread of its own: `abandoned` turns the
  // process callback away, and `inProcess` tells when a cycle under way has
  // left (see AbandonJackClientState).
  std::atomic<bool> abandoned{false};
  std::atomic<int> inProcess{0};
};

// After this returns the process callback no longer reads the state's
// ports or emitters, nor the sounds they point to (it waits a moment for a
// cycle under way). The state itself must outlive the client.
void AbandonJackClientState(JackClientState& state);

// The callbacks, `argument` being the JackClientState: no allocation, no
// lock, no log.
int JackProcess(jack_nframes_t frames, void* argument);
int JackXRun(void* argument);
void JackShutdown(void* argument);
// `argument` is a std::atomic<bool> set when the server ends.
void JackWatchShutdown(void* argument);
