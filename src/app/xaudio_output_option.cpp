#include "app/xaudio_output_option.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string_view>

#include "output/xaudio2/xaudio2_engine.h"
#include "platform/environment.h"

namespace {

std::string OfferedNames() {
  std::string list;
  for (const char* name : XAudioOutputNames()) {
    if (!list.empty()) list += ", ";
    list += name;
  }
  return list;
}

}  // namespace

std::string XAudioOutputRefusal(const std::string& given) {
  const auto names = XAudioOutputNames();
  if (std::find(names.begin(), names.end(), std::string_view(given)) != names.end()) return {};
  return "\"" + given + "\" is not an output of the SDL library FAudio plays through; it offers " + OfferedNames();
}

void AddXAudioOutputOption(CLI::App& app, XAudioOutputOption& option) {
  option.name.clear();
  if (XAudioOutputNames().empty()) return;
  app.fallthrough();
  app.add_option("--xaudio-output", option.name,
                 "The SDL output the XAudio2 back end (FAudio) plays through, set in SDL_AUDIODRIVER: " +
                     OfferedNames() +
                     ". Use dummy on a machine with no sound device (it is paced in real time); alsa without a "
                     "sound card is not, so it gives no CPU figure; leave the option out on a desktop with sound")
      ->check(CLI::Validator([](std::string& given) { return XAudioOutputRefusal(given); }, ""))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
      ->option_text("NAME");
}

void ApplyXAudioOutputOption(const XAudioOutputOption& option) {
  if (!option.name.empty()) platform::SetEnvironmentText(kSdlAudioDriverVariable, option.name.c_str());
}
