#pragma once
#include <string>

#include "output/jack/jack_api.h"

// The server a client of this process reaches: JACK_DEFAULT_SERVER, or
// libjack's own "default".
std::string JackServerName();

// Opens a client of that server without ever starting one; null (with
// libjack's status) when no server answers.
jack_client_t* OpenJackClient(const JackFunctions& jack, const char* clientName, jack_status_t& status);

// The server's physical playback ports, as libjack lists them (jack_free
// releases the list); null when there are none.
const char** PhysicalPlaybackPorts(const JackFunctions& jack, jack_client_t* client);
int CountPorts(const char** ports);

// OpenJackClient with a deadline. libjack waits seconds for a server that is
// shutting down to answer; past `milliseconds` the server counts as gone
// (null, `late` set) and the open is left to finish on its own thread. The
// library must then stay loaded until the process ends.
jack_client_t* OpenJackClientWithin(const JackFunctions& jack, const char* clientName, jack_status_t& status,
                                    int milliseconds, bool& late);
