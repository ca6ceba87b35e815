#pragma once
#include <string>
#include <vector>

// The audio endpoints Windows lists for playback (XAudio2 2.8 and later has
// no device list of its own). COM is initialised for the calling thread
// around each call.
struct AudioEndpoint {
  std::wstring id;   // what CreateMasteringVoice takes
  std::string name;  // its friendly name, UTF-8
};

// Whether there is a default playback endpoint. Wine's engine reads through
// a null pointer inside CreateMasteringVoice when there is none, so this is
// asked first.
bool HasDefaultAudioEndpoint();
std::vector<AudioEndpoint> ListAudioEndpoints();
