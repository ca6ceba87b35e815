#include "output/output_factories.h"

#include "output/asio_factory.h"
#include "output/dsound_factory.h"
#include "output/openal/openal_output_factory.h"

namespace {

CAbstractOutput* CreateDirectSound() { return CreateDirectSoundOutput(); }
CAbstractOutput* CreateOpenAL() { return CreateOpenALOutput(); }
CAbstractOutput* CreateAsio() { return CreateAsioOutput(); }

constexpr OutputFactory kFactories[] = {
    {"CDSound", &CreateDirectSound},
    {"COpenAL", &CreateOpenAL},
    {"CASIO", &CreateAsio},
};

}  // namespace

std::span<const OutputFactory> DefaultOutputFactories() { return kFactories; }
