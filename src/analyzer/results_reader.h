#pragma once
#include <string>
#include <string_view>

#include "analyzer/results_file.h"

namespace analyzer {

// Files larger than this are refused before they are read: a results file
// of a whole day of readings stays far below it.
inline constexpr size_t kMaxResultsFileBytes = 16u * 1024u * 1024u;

// Reads a results document from its bytes. Both forms of the stylesheet line
// (and none) are accepted, and texts that are not UTF-8 (older files wrote
// 8-bit text) are taken as Latin-1. False with one line saying what is
// wrong; `file` is then unspecified.
bool ParseResults(std::string_view bytes, ResultsFile& file, std::string& error);

// The same for a file on disk; `file.path` is set to `path`.
bool ReadResultsFile(const std::string& path, ResultsFile& file, std::string& error);

}  // namespace analyzer
