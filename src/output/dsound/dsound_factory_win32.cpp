#include "output/dsound/dsound_output.h"
#include "output/dsound_factory.h"

CAbstractOutput* CreateDirectSoundOutput() { return new CDSoundOutput(); }
