#include "output/output_factories.h"

#include "output/dsound_factory.h"
#include "output/no_device_output.h"
#include "output/openal/openal_output_factory.h"

namespace {

CAbstractOutput* CreateDirectSound() { return CreateDirectSoundOutput(); }
CAbstractOutput* CreateOpenAL() { return CreateOpenALOutput(); }
CAbstractOutput* CreateAsio() { return new CNoDeviceOutput("ASIO"); }

constexpr OutputFactory kFactories[] = {
    {"CDSound", &CreateDirectSound},
    {"COpenAL", &CreateOpenAL},
    {"CASIO", &CreateAsio},
};

}  // namespace

std::span<const OutputFactory> DefaultOutputFactories() { return kFactories; }
