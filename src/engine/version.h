#pragma once

// The version text of titles and results documents, from the project's
// version (KV3R_VERSION_TEXT is set by the build).
inline constexpr const char* kBenchmarkVersion = "v" KV3R_VERSION_TEXT;
