#include "output/jack/jack_server.h"

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
