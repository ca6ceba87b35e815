#include "output/openal/openal_output_factory.h"

#include "output/openal/openal_output.h"

namespace {

#ifdef _WIN32
constexpr const char* kLibraryFile = "OpenAL32.dll";
#else
constexpr const char* kLibraryFile = "libopenal.so.1";
#endif

}  // namespace

std::unique_ptr<CAbstractOutput> CreateOpenALOutput() { return CreateOpenALOutput(kLibraryFile); }

const char* OpenALLibraryFileName() { return kLibraryFile; }
