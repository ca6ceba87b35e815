#pragma once
#include <cstddef>
#include <string>

namespace platform {

// Writes `size` bytes into a new file of a name no other file has, in the
// system's folder for temporary files, and gives that name in `path`. The
// name starts with `prefix` (Windows keeps only its first three characters)
// and, on Linux, ends with `suffix`. False on any failure, leaving no file.
// The caller deletes the file when it is done with it.
bool WriteTemporaryFile(const char* prefix, const char* suffix, const void* data, size_t size, std::string& path);

}  // namespace platform
