#include "output/jack_server_watch.h"

#include <atomic>

#include "output/jack/jack_client_state.h"
#include "output/jack/jack_library.h"
#include "output/jack/jack_server.h"
#include "results/debug_log.h"

namespace {

// A server that has not answered by then is taken as gone: well past a
// healthy open on a loaded machine (a few hundred ms), well inside the 5 s
// a lost server may take to end a run.
constexpr int kOpenMilliseconds = 2000;

class PosixJackServerWatch : public JackServerWatch {
 public:
  PosixJackServerWatch() {
    library = LoadJackLibrary("libjack.so.0");
    if (library == nullptr) return;
    jack_status_t status = 0;
    client = OpenJackClientWithin(library->jack, "kv3r-watch", status, kOpenMilliseconds, late);
    if (client == nullptr) {
      DebugLog::Writef("The JACK server \"%s\" no longer answers (status 0x%x)\n", JackServerName().c_str(),
                       static_cast<unsigned>(status));
      gone.store(true);
      return;
    }
    library->jack.jack_on_shutdown(client, &JackWatchShutdown, &gone);
  }
  // A client whose server died is left as it is: libjack can crash closing
  // it. Its threads have ended; the library stays loaded.
  ~PosixJackServerWatch() override {
    if (late || Gone()) {
      KeepJackLibrary(library);
      return;
    }
    if (client != nullptr) library->jack.jack_client_close(client);
    FreeJackLibrary(library);
  }
  bool Gone() const override { return gone.load(std::memory_order_acquire); }
  void MarkGone() override { gone.store(true, std::memory_order_release); }

 private:
  JackLibrary* library = nullptr;
  jack_client_t* client = nullptr;
  std::atomic<bool> gone{false};
  bool late = false;  // the open was left running: the library stays loaded
};

}  // namespace

std::unique_ptr<JackServerWatch> WatchJackServer() { return std::make_unique<PosixJackServerWatch>(); }
