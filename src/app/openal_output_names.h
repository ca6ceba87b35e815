#pragma once
#include <span>
#include <string_view>
#include <vector>

// The output names OpenAL Soft's builds for this system may have, in the
// order it tries them; ALSOFT_DRIVERS takes any of them.
std::span<const char* const> OpenALCandidateOutputNames();

// The candidates the library kv3r loads was built with, found as names in
// its file; every candidate when the library cannot be found or read.
std::span<const char* const> OpenALOutputNames();

// The candidates that stand as whole strings in `library`'s bytes.
std::vector<const char*> OutputNamesIn(std::string_view library, std::span<const char* const> candidates);
