#pragma once
#include <cstdint>

// The feature report's name of an ASIO sample type; "Unknown" for others.
const char* AsioSampleTypeName(int32_t type);
