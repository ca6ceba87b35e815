#include "sweep/sweep_plan.h"

#include <algorithm>

#include "sweep/openal_settings.h"

namespace sweep {

namespace {

bool IsOpenAL(const std::string& backEnd) {
  std::string folded;
  for (const char c : backEnd) folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return folded == "openal";
}

std::vector<SweepConfiguration> OpenALConfigurations(const std::vector<SettingChoices>& choices,
                                                     const std::vector<std::string>& outputs) {
  std::vector<SweepConfiguration> configurations;
  const std::vector<std::string> allOutputs = outputs.empty() ? std::vector<std::string>{""} : outputs;
  size_t combinations = 1;
  for (const SettingChoices& choice : choices) combinations *= std::max<size_t>(1, choice.values.size());
  for (const std::string& output : allOutputs) {
    for (size_t index = 0; index < combinations; ++index) {
      SweepConfiguration configuration;
      configuration.output = output;
      size_t rest = index;
      std::vector<size_t> picks(choices.size());
      for (size_t k = choices.size(); k-- > 0;) {
        const size_t n = std::max<size_t>(1, choices[k].values.size());
        picks[k] = rest % n;
        rest /= n;
      }
      for (size_t k = 0; k < choices.size(); ++k) {
        if (choices[k].values.empty()) continue;
        const std::string& value = choices[k].values[picks[k]];
        configuration.settings.emplace_back(choices[k].key, value);
        configuration.name += (configuration.name.empty() ? "" : " ") + choices[k].key + "=" + value;
      }
      if (configuration.name.empty()) configuration.name = "default";
      configurations.push_back(configuration);
    }
  }
  return configurations;
}

}  // namespace

std::vector<PlannedRun> SweepOrder(size_t configurations, size_t counts, uint32_t rounds) {
  std::vector<PlannedRun> base;
  for (size_t count = 0; count < counts; ++count) {
    for (size_t configuration = 0; configuration < configurations; ++configuration) {
      base.push_back({configuration, count, 0});
    }
  }
  std::vector<PlannedRun> order;
  if (base.empty()) return order;
  // Each pair of rounds starts a further share of the way along.
  const size_t pairs = (rounds + 1) / 2;
  const size_t step = std::max<size_t>(1, base.size() / std::max<size_t>(1, pairs));
  for (uint32_t round = 0; round < rounds; ++round) {
    std::vector<PlannedRun> runs = base;
    std::rotate(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(((round / 2) * step) % runs.size()),
                runs.end());
    if (round % 2 == 1) std::reverse(runs.begin(), runs.end());
    for (PlannedRun& run : runs) {
      run.round = round;
      order.push_back(run);
    }
  }
  return order;
}

std::string SweepSettingsText(const std::string& userSettings, const SweepConfiguration& configuration) {
  // Keys grouped by section, [general] first, in the order asked.
  std::vector<std::pair<std::string, std::string>> sections{{"general", ""}};
  for (const auto& [key, value] : configuration.settings) {
    const size_t slash = key.find('/');
    const std::string section = slash == std::string::npos ? "general" : key.substr(0, slash);
    const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
    auto found = std::find_if(sections.begin(), sections.end(), [&](const auto& s) { return s.first == section; });
    if (found == sections.end()) found = sections.insert(sections.end(), {section, ""});
    found->second += name + " = " + SettingText(value) + "\n";
  }
  std::string text = userSettings;
  if (!text.empty() && text.back() != '\n') text += '\n';
  for (const auto& [section, lines] : sections) {
    if (!lines.empty()) text += "[" + section + "]\n" + lines;
  }
  return text;
}

std::vector<SweepConfiguration> SweepConfigurations(const std::vector<SettingChoices>& choices,
                                                    const std::vector<std::string>& outputs,
                                                    const std::vector<std::string>& backEnds) {
  if (backEnds.size() <= 1) {
    std::vector<SweepConfiguration> configurations = OpenALConfigurations(choices, outputs);
    for (SweepConfiguration& configuration : configurations) configuration.backEnd = backEnds.empty() ? "" : backEnds[0];
    return configurations;
  }
  std::vector<SweepConfiguration> configurations;
  for (const std::string& backEnd : backEnds) {
    if (!IsOpenAL(backEnd)) {
      SweepConfiguration configuration;
      configuration.name = backEnd;
      configuration.backEnd = backEnd;
      configurations.push_back(configuration);
      continue;
    }
    for (SweepConfiguration configuration : OpenALConfigurations(choices, outputs)) {
      configuration.name = configuration.name == "default" ? backEnd : backEnd + " " + configuration.name;
      configuration.backEnd = backEnd;
      configurations.push_back(configuration);
    }
  }
  return configurations;
}

}  // namespace sweep
