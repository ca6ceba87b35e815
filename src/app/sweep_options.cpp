#include "app/sweep_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "app/openal_driver_option.h"
#include "sweep/openal_settings.h"
#include "app/run_options.h"
#include "output/abstract_output.h"

void AddSweepOptions(CLI::App& command, SweepOptions& options) {
  command.add_option("--openal", options.openal,
                     "An OpenAL Soft setting and its values, KEY=V1,V2,... (repeatable: every combination is "
                     "measured), e.g. hrtf=false,true or resampler=point,bsinc24")
      ->option_text("KEY=VALUES");
  command
      .add_option("--openal-output", options.outputs,
                  "OpenAL Soft's outputs to compare, A,B,..., of those this library offers: " + OpenALOutputList())
      ->delimiter(',')
      ->check(CLI::Validator([](std::string& given) { return OpenALOutputRefusal(given); }, ""))
      ->option_text("NAMES");
  command.add_option("--buffers", options.emitterCounts, "Emitter counts to measure, N1,N2,... (default 1,32,64,128,256)")
      ->delimiter(',')
      ->transform(DecimalNumber(1, static_cast<uint32_t>(kMaxEmitters)))
      ->capture_default_str()
      ->option_text("COUNTS");
  command.add_option("--repeat", options.rounds, "Rounds over every configuration and count, interleaved")
      ->transform(DecimalNumber(1, 100))
      ->capture_default_str();
  command.add_option("--seconds", options.seconds, "Length of each measured test in seconds")
      ->transform(DecimalNumber(1, 3600))
      ->capture_default_str();
  command.add_option("--backend", options.backEnds,
                     "Back ends, by number or name as `kv3r devices` lists them, A,B,...: one more dimension (OpenAL "
                     "Soft's settings and outputs apply to OpenAL only)")
      ->delimiter(',');
  command.add_option("--device", options.device, "Device of that back end, by number or name");
  command.add_option("--mode", options.mode, "The one mode measured: 2d, 3d-hardware or 3d-eax")
      ->check(CLI::IsMember({"2d", "3d-hardware", "3d-eax"}, CLI::ignore_case))
      ->capture_default_str();
  command.add_option("--method", options.method, "Measuring method: 0, 1 or 2 (see run --help)")
      ->transform(DecimalNumber(0, 2))
      ->capture_default_str();
  command.add_option("--sample-rate", options.sampleRate, "Sample rate in Hz")
      ->transform(DecimalNumber(1, 384000))
      ->capture_default_str();
  command.add_option("--precision", options.precision,
                     "Add rounds until every configuration's cost of one emitter (attributed) has a 95 % interval "
                     "half-width of at most this percent of it (or --max-seconds is reached); replaces --repeat")
      ->check(CLI::Range(0.1, 100.0));
  command.add_option("--max-seconds", options.maxSeconds, "With --precision: the longest the sweep may take, in seconds")
      ->transform(DecimalNumber(10, 604800))
      ->capture_default_str();
  command.add_option("--output", options.directory,
                     "Folder for every file the sweep writes (made when missing; default: kv3r-sweep-DATE-TIME)")
      ->option_text("DIR");
  for (CLI::Option* option : command.get_options()) {
    if (option->get_items_expected_max() == 1) option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }
  command.footer(
      "Each run is its own `kv3r run` (the library reads its settings once, when it starts), with a settings file "
      "of its configuration's on top of the user's ALSOFT_CONF. An option given twice takes its last value.");
}

using sweep::SettingChoices;
using sweep::SettingRefusal;

bool ParseSettingChoices(const std::vector<std::string>& given, const std::string& libraryBytes,
                         std::vector<SettingChoices>& choices, std::ostream& err) {
  choices.clear();
  for (const std::string& text : given) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
      err << "--openal: \"" << text << "\" is not KEY=V1,V2,...\n";
      return false;
    }
    SettingChoices choice{text.substr(0, equals), {}};
    size_t start = equals + 1;
    for (;;) {
      const size_t comma = text.find(',', start);
      std::string value = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      const std::string refusal = SettingRefusal(choice.key, value, libraryBytes);
      if (!refusal.empty()) {
        err << "--openal: " << refusal << '\n';
        return false;
      }
      if (std::find(choice.values.begin(), choice.values.end(), value) == choice.values.end()) {
        choice.values.push_back(value);
      }
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    const auto same = std::find_if(choices.begin(), choices.end(), [&](const SettingChoices& c) { return c.key == choice.key; });
    if (same != choices.end()) {
      *same = choice;
    } else {
      choices.push_back(choice);
    }
  }
  return true;
}
