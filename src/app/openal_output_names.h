#pragma once
#include <span>

// The output names OpenAL Soft knows in its builds for this system, in the
// order it tries them; ALSOFT_DRIVERS takes any of them.
std::span<const char* const> OpenALOutputNames();
