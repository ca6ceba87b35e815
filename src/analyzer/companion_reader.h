#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "analyzer/companion.h"

// The companion kv3r writes beside a results file: the same base name, ".json".
std::string CompanionPathOf(const std::string& resultsPath);

// Reads a companion's text, which must name `resultsFileName` (the results
// file's name without its folder) as the file it belongs to. Null with one
// line saying why when it is not JSON, lacks a key or holds a key of the
// wrong type; keys this reader does not know are left alone.
std::optional<Companion> ParseCompanion(std::string_view text, const std::string& resultsFileName, std::string& error);

// The companion beside `resultsPath`: null with `error` empty when there is
// none, null with the reason when there is one that cannot be used.
std::optional<Companion> ReadCompanion(const std::string& resultsPath, std::string& error);
