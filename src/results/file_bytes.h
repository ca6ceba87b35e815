#pragma once
#include <cstddef>
#include <string>

// The largest results, companion or sweep file a reader takes.
inline constexpr size_t kMaxJsonFileBytes = 16u * 1024u * 1024u;

// The whole of the file at `path`, refused above `limit` bytes. False with
// the reason in plain words: no such file, permission denied, a folder,
// empty, too large, or what the system said.
bool ReadFileBytes(const std::string& path, size_t limit, std::string& bytes, std::string& error);
