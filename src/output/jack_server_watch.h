#pragma once
#include <memory>

// Whether the JACK server this process reaches is still there, told by a
// client of its own that is never activated: it takes no part in the
// server's cycles, so a test measures nothing of it. Used by the JACK back
// end between tests, and by the OpenAL back end when OpenAL Soft plays
// through JACK (its jack output tells no disconnection). Where there is no
// JACK (Windows), nothing is ever gone.
class JackServerWatch {
 public:
  virtual ~JackServerWatch() = default;
  // One atomic load: safe in a measuring loop and from any thread.
  virtual bool Gone() const = 0;
  // The owner found the server gone another way (an open that never
  // returned): the watch's client is then left as it is, as after the
  // server's own word, since closing it would wait on libjack's lock that
  // the unfinished open holds.
  virtual void MarkGone() = 0;
};

// Connects at once (never starting a server); a server that does not answer
// is gone from the start.
std::unique_ptr<JackServerWatch> WatchJackServer();
