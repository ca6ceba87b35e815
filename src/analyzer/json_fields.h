#pragma once
#include <nlohmann/json.hpp>
#include <string>

// What the analyzer's JSON readers (the companion file, the sweep summary)
// share: where a value stands in the file, and a value of the wrong kind
// said in plain words.
namespace json_fields {

// The files' order of keys is kept.
using Json = nlohmann::ordered_json;

// Thrown with what is wrong, where; each reader catches it once.
struct Malformed {
  std::string why;
};

// A key's place below `where`, as "costs[0].cost"; the key alone at the top.
std::string Place(const std::string& where, const std::string& key);

// What kind of value it is, in plain words: "a list", "a text", "null"...
std::string Kind(const Json& value);

// "costs[0].cost is a text, not a number".
[[noreturn]] void WrongType(const Json& value, const std::string& where, const char* expected);

}  // namespace json_fields
