#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sweep {

// One OpenAL Soft setting and the values a sweep gives it, as asked.
struct SettingChoices {
  std::string key;
  std::vector<std::string> values;
};

// One combination of settings and output the sweep measures.
struct SweepConfiguration {
  std::string name;  // "hrtf=true resampler=point"; "default" when nothing is set
  std::vector<std::pair<std::string, std::string>> settings;
  std::string output;  // OpenAL Soft's output; "" when the library picks
  std::string backEnd;  // as given to --backend; "" for kv3r's first
};

// Every combination: the back ends vary slowest, then the outputs, then the
// keys in the order given, the last one fastest. With several back ends,
// OpenAL Soft's settings and outputs apply to OpenAL only, and every other
// back end is one configuration named after it.
std::vector<SweepConfiguration> SweepConfigurations(const std::vector<SettingChoices>& choices,
                                                    const std::vector<std::string>& outputs,
                                                    const std::vector<std::string>& backEnds = {});

struct PlannedRun {
  size_t configuration = 0;
  size_t count = 0;  // index into the emitter counts
  uint32_t round = 0;
};

// The order of the runs. Within a count the configurations alternate, so
// every comparison is between neighbouring minutes. Later rounds start
// elsewhere in that order, and every second round runs it backwards: with
// an even number of rounds a steady drift of the machine weighs on every
// point alike.
std::vector<PlannedRun> SweepOrder(size_t configurations, size_t counts, uint32_t rounds);

// The settings file of one configuration's runs: the user's own settings
// first, then this configuration's, which OpenAL Soft reads last and keeps.
std::string SweepSettingsText(const std::string& userSettings, const SweepConfiguration& configuration);

}  // namespace sweep
