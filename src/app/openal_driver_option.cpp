#include "app/openal_driver_option.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "app/openal_output_names.h"
#include "sweep/openal_settings.h"
#include "app/pulse_server.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/temporary_file.h"

namespace {

constexpr std::string_view kWave = "wave";
constexpr const char* kDefaultWaveFile = "kv3r-openal.wav";

std::string_view OutputOf(std::string_view given) { return given.substr(0, given.find(':')); }

}  // namespace

std::string OpenALOutputList() {
  std::string list;
  for (const char* name : OpenALOutputNames()) {
    if (!list.empty()) list += ", ";
    list += name;
  }
  return list;
}

// Empty when OpenAL Soft can take the name; only wave takes a file after ':'.
std::string OpenALOutputRefusal(const std::string& given) {
  const std::string_view output = OutputOf(given);
  const auto names = OpenALOutputNames();
  const bool known = std::find(names.begin(), names.end(), output) != names.end();
  if (known && output.size() == given.size()) return {};
  if (known && output == kWave) {
    const std::string_view file = std::string_view(given).substr(kWave.size() + 1);
    if (file.empty()) return "wave: names no file; give wave:FILE, or wave for " + std::string(kDefaultWaveFile);
    // OpenAL Soft's settings reader ends a value at a line break or a #, and
    // trims the spaces around it; it has no quoting.
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    if (file.find_first_of("#\r\n") != std::string_view::npos || space(file.front()) || space(file.back())) {
      return "OpenAL Soft cannot be given a wave file name holding # or a line break, or with spaces at its ends";
    }
    return {};
  }
  return "\"" + given + "\" is not an output of the OpenAL Soft loaded here; it offers " + OpenALOutputList() +
         " (wave:FILE writes to FILE)";
}

OpenALOutputOption::~OpenALOutputOption() {
  if (!configFile.empty()) platform::DeleteFileNamed(configFile.c_str());
}

void AddOpenALOutputOption(CLI::App& app, OpenALOutputOption& option) {
  option.name.clear();
  // Subcommands added afterwards hand options they do not know to this app.
  app.fallthrough();
  app.add_option("--openal-output", option.name,
                 "OpenAL Soft's output, picked before the library loads by setting ALSOFT_DRIVERS: " + OpenALOutputList() +
                     ". Use null on a machine with no sound device (it still mixes every source, in real time, "
                     "into nothing); wave:FILE writes the mix to FILE (wave alone: " +
                     kDefaultWaveFile + "); leave the option out on a desktop with sound")
      ->check(CLI::Validator([](std::string& given) { return OpenALOutputRefusal(given); }, ""))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
      ->option_text("NAME");
}

bool ApplyOpenALOutputOption(OpenALOutputOption& option, std::ostream& out, std::ostream& err) {
  if (option.name.empty()) return true;
  const std::string_view output = OutputOf(option.name);
  if (output != kWave) {
    platform::SetEnvironmentText("ALSOFT_DRIVERS", option.name.c_str());
    return true;
  }
  const std::string file =
      option.name.size() > kWave.size() ? option.name.substr(kWave.size() + 1) : std::string(kDefaultWaveFile);
  // OpenAL Soft reads one file named by ALSOFT_CONF: keep the user's settings
  // in front, the later [wave] section wins.
  std::string settings;
  std::string userFile;
  if (platform::GetEnvironmentText("ALSOFT_CONF", userFile) && !userFile.empty()) {
    platform::ReadWholeFile(userFile.c_str(), settings);
  }
  settings += "\n[wave]\nfile = " + sweep::SettingText(file) + "\n";
  std::string written;
  if (!platform::WriteTemporaryFile("kv3r-openal-", ".conf", settings.data(), settings.size(), written)) {
    err << "OpenAL Soft's settings for its wave output could not be written to the temporary folder.\n";
    return false;
  }
  if (!option.configFile.empty()) platform::DeleteFileNamed(option.configFile.c_str());
  option.configFile = written;
  platform::SetEnvironmentText("ALSOFT_CONF", option.configFile.c_str());
  platform::SetEnvironmentText("ALSOFT_DRIVERS", "wave");
  out << "OpenAL Soft's wave output writes to " << file << '\n';
  return true;
}

std::string PulseServerBehind(const char* backEnd) {
  if (backEnd == nullptr || std::string_view(backEnd) != "OpenAL") return {};
  std::string drivers;
  platform::GetEnvironmentText("ALSOFT_DRIVERS", drivers);
  const std::string_view first = std::string_view(drivers).substr(0, drivers.find(','));
  if (!first.empty() && first != "pulse") return {};
  return PulseServerAnswer();
}

const char* NoDeviceHint() {
  return "On a machine without a sound card, --openal-output null measures OpenAL Soft's mixing into nothing.";
}
