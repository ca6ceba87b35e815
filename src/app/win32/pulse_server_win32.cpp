#include "app/pulse_server.h"

// Windows has no pulse protocol: its own audio engine mixes.
std::string PulseServerAnswer() { return {}; }
