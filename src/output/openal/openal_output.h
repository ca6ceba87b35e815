#pragma once
#include <memory>

#include "output/abstract_output.h"

// The OpenAL back end over `libraryFile` (tests name the library; the
// product's factory is in openal_output_factory.h). Never null; without a
// usable library it lists no device.
std::unique_ptr<CAbstractOutput> CreateOpenALOutput(const char* libraryFile);
