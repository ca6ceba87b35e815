#include "output/output_factories.h"

#include "output/asio_factory.h"
#include "output/dsound_factory.h"
#include "output/jack_factory.h"
#include "output/openal/openal_output_factory.h"
#include "output/xaudio2/xaudio2_output.h"

std::vector<OutputFactory> DefaultOutputFactories() {
  return {
      {"CDSound", [] { return CreateDirectSoundOutput(); }},
      {"COpenAL", [] { return CreateOpenALOutput(); }},
      {"CASIO", [] { return CreateAsioOutput(); }},
      {"CJACK", [] { return CreateJackOutput(); }},
      {"CXAudio2", [] { return CreateXAudio2Output(); }},
  };
}
