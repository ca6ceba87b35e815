#include "output/dsound/dsound_output.h"
#include "output/dsound_factory.h"

std::unique_ptr<CAbstractOutput> CreateDirectSoundOutput() { return CreateDirectSoundOutput(LoadDSoundApi()); }
