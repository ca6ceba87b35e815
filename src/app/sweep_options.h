#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The command-line parser is heavy to compile: only the files that add
// options include it.
namespace CLI {
class App;
class Validator;
}  // namespace CLI

#include "app/sweep_plan.h"

// What `kv3r sweep` takes.
struct SweepOptions {
  std::vector<std::string> openal;  // "KEY=V1,V2,...", as given
  std::vector<std::string> outputs;
  std::vector<uint32_t> emitterCounts{1, 32, 64, 128, 256};
  uint32_t rounds = 2;
  uint32_t seconds = 10;
  std::string backEnd, device;
  std::string mode = "2d";
  uint32_t method = 2;
  uint32_t sampleRate = 44100;
  std::string directory;  // empty: a new folder named by the start's time
};

void AddSweepOptions(CLI::App& command, SweepOptions& options);

// The settings asked, each key once (a key given again takes its last
// list). False with the reason on `err` for a malformed --openal, or a key
// or value the loaded OpenAL Soft does not take.
bool ParseSettingChoices(const std::vector<std::string>& given, const std::string& libraryBytes,
                         std::vector<SettingChoices>& choices, std::ostream& err);
