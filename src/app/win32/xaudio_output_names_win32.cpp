#include "app/xaudio_output_option.h"

// XAudio2 plays to the endpoint it is given: there is no output to choose.
std::span<const char* const> XAudioOutputNames() { return {}; }
