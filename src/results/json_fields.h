#pragma once
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "stats/interval.h"

// What the readers of our JSON files (the companion file, the sweep
// summary) share: where a value stands in the file, a value of the wrong
// kind said in plain words, and the figures as the writers spell them.
namespace json_fields {

// The files' order of keys is kept.
using Json = nlohmann::ordered_json;

// Thrown with what is wrong, where; each reader catches it once.
struct Malformed {
  std::string why;
};

// A key's place below `where`, as "costs[0].cost"; the key alone at the top.
std::string Place(const std::string& where, const std::string& key);
// "tests[2]".
std::string Indexed(const std::string& where, size_t index);

// What kind of value it is, in plain words: "a list", "a text", "null"...
std::string Kind(const Json& value);

// "costs[0].cost is a text, not a number".
[[noreturn]] void WrongType(const Json& value, const std::string& where, const char* expected);

// The member, or null when there is none.
const Json* Find(const Json& object, const std::string& where, const char* key);
// The member, which must be there.
const Json& Member(const Json& object, const std::string& where, const char* key);

// null is NaN: the writers' spelling of an undefined figure.
double NumberAt(const Json& value, const std::string& where);
uint32_t WholeAt(const Json& value, const std::string& where);
// Valid UTF-8, whatever the file held.
std::string TextAt(const Json& value, const std::string& where);
bool BooleanAt(const Json& value, const std::string& where);
const Json& ListAt(const Json& value, const std::string& where);
const Json& ObjectAt(const Json& value, const std::string& where);
// [low, high], or null for none.
stats::Interval IntervalAt(const Json& value, const std::string& where);

// Required members of each kind.
double Number(const Json& object, const std::string& where, const char* key);
uint32_t Whole(const Json& object, const std::string& where, const char* key);
std::string Text(const Json& object, const std::string& where, const char* key);
const Json& List(const Json& object, const std::string& where, const char* key);

// How the writers spell figures: NaN and infinity have no JSON spelling and
// are null; an interval is [low, high] or null.
Json NumberJson(double value);
Json IntervalJson(const stats::Interval& interval);

// Parses `text` and hands the document to `read`; null with one line saying
// why when the text is not JSON or `read` finds it malformed.
template <class T, class Read>
std::optional<T> ParseWith(std::string_view text, std::string& error, Read&& read);

// One line, whatever the file held; a parser's message without its library's prefix.
std::string OneLine(std::string text);
std::string ParserMessage(const Json::exception& failure);

template <class T, class Read>
std::optional<T> ParseWith(std::string_view text, std::string& error, Read&& read) {
  error.clear();
  try {
    return read(Json::parse(text.begin(), text.end()));
  } catch (const Malformed& malformed) {
    error = OneLine(malformed.why);
  } catch (const Json::exception& failure) {
    error = ParserMessage(failure);
  }
  return std::nullopt;
}

}  // namespace json_fields
