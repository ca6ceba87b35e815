#pragma once
// What one registered simulated card is: read from the values beside
// "clsid" in its HKLM software\asio key, so each registered key is a card of
// its own behind the same server file.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

struct SimulatedAsioConfig {
  std::string name = "Simulated ASIO";
  long inputs = 2;
  long outputs = 8;
  std::vector<long> types{18};  // per channel; the last one repeats
  long minSize = 64;
  long maxSize = 2048;
  long preferredSize = 256;
  long granularity = -1;
  long inputLatency = 256;
  long outputLatency = 512;
  double rate = 48000;
  std::vector<double> rates{44100, 48000};
  bool outputReady = true;
  bool timeInfo = true;
  std::string fail;  // comma list of methods that fail
  std::string errorMessage = "Simulated card refused";
  std::string journal;  // file the calls are appended to
  std::string capture;  // file the first channels' output is written to
  long captureChannels = 2;
  long captureFrames = 4096;

  long TypeOf(long channel) const {
    const size_t at = static_cast<size_t>(channel);
    return at < types.size() ? types[at] : types.back();
  }
  bool Fails(const char* method) const;
};

// The configuration of the key whose "clsid" names `classId`; defaults when
// none does.
SimulatedAsioConfig ReadSimulatedAsioConfig(const CLSID& classId);
