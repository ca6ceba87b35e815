#pragma once

// The version text of titles and results documents.
inline constexpr const char* kBenchmarkVersion = "v2.3";
