#include "app/openal_output_names.h"

std::span<const char* const> OpenALCandidateOutputNames() {
  static const char* const kNames[] = {"wasapi", "dsound", "winmm", "null", "wave"};
  return kNames;
}
