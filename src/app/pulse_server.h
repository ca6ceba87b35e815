#pragma once
#include <string>

// The sound server that answers the pulse protocol here, as it names itself
// with its version ("PulseAudio (on PipeWire 0.3.65) 15.0.0"), asked through
// libpulse loaded at run time; "" when there is no library or no server, or
// it does not answer within a second. Never starts a server.
std::string PulseServerAnswer();
