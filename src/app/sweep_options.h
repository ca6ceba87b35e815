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

#include "sweep/sweep_plan.h"
#include "sweep/sweep_runner.h"

// What `kv3r sweep` takes.
using SweepOptions = sweep::Request;

void AddSweepOptions(CLI::App& command, SweepOptions& options);

// The settings asked, each key once (a key given again takes its last
// list). False with the reason on `err` for a malformed --openal, or a key
// or value the loaded OpenAL Soft does not take.
bool ParseSettingChoices(const std::vector<std::string>& given, const std::string& libraryBytes,
                         std::vector<sweep::SettingChoices>& choices, std::ostream& err);
