#include "output/jack/jack_server.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/environment.h"

std::string JackServerName() {
  std::string name;
  if (!platform::GetEnvironmentText("JACK_DEFAULT_SERVER", name) || name.empty()) name = "default";
  return name;
}

jack_client_t* OpenJackClient(const JackFunctions& jack, const char* clientName, jack_status_t& status) {
  status = 0;
  return jack.jack_client_open(clientName, JackNoStartServer, &status);
}

const char** PhysicalPlaybackPorts(const JackFunctions& jack, jack_client_t* client) {
  return jack.jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
}

int CountPorts(const char** ports) {
  int count = 0;
  while (ports != nullptr && ports[count] != nullptr) ++count;
  return count;
}

jack_client_t* OpenJackClientWithin(const JackFunctions& jack, const char* clientName, jack_status_t& status,
                                    int milliseconds, bool& late) {
  // Shared with the opening thread, which may outlive this call.
  struct Opening {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    jack_client_t* client = nullptr;
    jack_status_t status = 0;
  };
  auto opening = std::make_shared<Opening>();
  const auto open = jack.jack_client_open;
  const std::string name = clientName;
  late = false;
  status = 0;
  try {
    std::thread([opening, open, name] {
      jack_status_t opened = 0;
      jack_client_t* client = open(name.c_str(), JackNoStartServer, &opened);
      std::lock_guard lock(opening->mutex);
      // A client opened too late is left as it is: its server is going.
      if (opening->abandoned) return;
      opening->client = client;
      opening->status = opened;
      opening->done = true;
      opening->finished.notify_one();
    }).detach();
  } catch (const std::system_error&) {
    return OpenJackClient(jack, clientName, status);
  }
  std::unique_lock lock(opening->mutex);
  if (!opening->finished.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return opening->done; })) {
    opening->abandoned = true;
    late = true;
    status = JackFailure;
    return nullptr;
  }
  status = opening->status;
  return opening->client;
}
