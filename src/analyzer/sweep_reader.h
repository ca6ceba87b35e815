#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "analyzer/sweep.h"

// Reads a sweep file's text (a JSON object with "kv3r_sweep": 1 at its top). Null with one line saying why when it is not
// JSON, not a sweep file, lacks what a report needs (the configurations,
// their names and points, each point's emitters and cost) or holds a key of
// the wrong type. Other keys may be missing: they are then shown as unknown.
std::optional<Sweep> ParseSweep(std::string_view text, std::string& error);

// The same for a file on disk, with the reason it cannot be read in plain words.
std::optional<Sweep> ReadSweep(const std::string& path, std::string& error);
