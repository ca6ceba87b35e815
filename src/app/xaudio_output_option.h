#pragma once
#include <span>
#include <string>

namespace CLI {
class App;
}  // namespace CLI

// `--xaudio-output NAME` (Linux): the SDL audio output FAudio plays through,
// chosen before the engine loads it, so the choice travels in
// SDL_AUDIODRIVER. Windows has no such choice: there the option is not added.
struct XAudioOutputOption {
  std::string name;  // empty when left out
};

// The SDL outputs the installed SDL2 library was built with, found as names in
// its file; every candidate when it cannot be read; none on Windows.
std::span<const char* const> XAudioOutputNames();

// "" when SDL offers `given`; else the reason, naming the outputs it offers.
std::string XAudioOutputRefusal(const std::string& given);

// Adds the option to the top-level app (before the subcommands, which then
// accept it too); a name SDL does not offer is a parse error.
void AddXAudioOutputOption(CLI::App& app, XAudioOutputOption& option);

// Sets SDL_AUDIODRIVER when the option was given. Call it before the engine
// (and with it the XAudio2 back end) is constructed.
void ApplyXAudioOutputOption(const XAudioOutputOption& option);
