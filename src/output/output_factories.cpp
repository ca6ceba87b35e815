#include "output/output_factories.h"

#include "output/asio_factory.h"
#include "output/dsound_factory.h"
#include "output/openal/openal_output_factory.h"

const std::vector<OutputFactory>& DefaultOutputFactories() {
  static const std::vector<OutputFactory> factories = {
      {"CDSound", [] { return std::unique_ptr<CAbstractOutput>(CreateDirectSoundOutput()); }},
      {"COpenAL", [] { return std::unique_ptr<CAbstractOutput>(CreateOpenALOutput()); }},
      {"CASIO", [] { return std::unique_ptr<CAbstractOutput>(CreateAsioOutput()); }},
  };
  return factories;
}
