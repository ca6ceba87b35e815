#include "app/openal_output_names.h"

// A build of OpenAL Soft has the outputs its system's libraries allowed;
// pipewire and sdl2 only in newer releases. null and wave are always there.
std::span<const char* const> OpenALCandidateOutputNames() {
  static const char* const kNames[] = {"pipewire", "pulse", "alsa", "oss",  "jack",
                                       "sndio",    "port",  "sdl2", "null", "wave"};
  return kNames;
}
