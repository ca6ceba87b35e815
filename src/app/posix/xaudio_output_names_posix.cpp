#include <string>
#include <vector>

#include "app/openal_output_names.h"
#include "app/xaudio_output_option.h"
#include "platform/dynamic_library.h"
#include "platform/files.h"

namespace {

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

// SDL2's audio outputs on Linux, in the order it tries them.
constexpr const char* kCandidates[] = {"pipewire", "pulseaudio", "alsa", "jack", "sndio", "oss", "disk", "dummy"};

// Like OpenAL Soft, SDL keeps its outputs' names as whole strings in its file.
std::vector<const char*> LibraryOutputs() {
  std::vector<const char*> all(std::begin(kCandidates), std::end(kCandidates));
  platform::LibraryHandle library = platform::LoadDynamicLibrary(kSdlLibrary);
  std::string path;
  const bool found = platform::LibraryFilePath(library, path);
  platform::FreeDynamicLibrary(library);
  std::string bytes;
  if (!found || !platform::ReadWholeFile(path.c_str(), bytes)) return all;
  std::vector<const char*> names = OutputNamesIn(bytes, kCandidates);
  return names.empty() ? all : names;
}

}  // namespace

std::span<const char* const> XAudioOutputNames() {
  static const std::vector<const char*> names = LibraryOutputs();
  return names;
}
