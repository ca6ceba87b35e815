#include "results/json_fields.h"

#include <cmath>
#include <limits>

#include "results/lenient_text.h"

namespace json_fields {

std::string Kind(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::object: return "an object";
    case Json::value_t::array: return "a list";
    case Json::value_t::string: return "a text";
    case Json::value_t::boolean: return "true or false";
    default: return "a number";
  }
}

std::string Place(const std::string& where, const std::string& key) { return where.empty() ? key : where + "." + key; }

std::string Indexed(const std::string& where, size_t index) { return where + "[" + std::to_string(index) + "]"; }

void WrongType(const Json& value, const std::string& where, const char* expected) {
  throw Malformed{where + " is " + Kind(value) + ", not " + expected};
}

const Json* Find(const Json& object, const std::string& where, const char* key) {
  if (!object.is_object()) WrongType(object, where.empty() ? "the file" : where, "an object");
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

const Json& Member(const Json& object, const std::string& where, const char* key) {
  const Json* found = Find(object, where, key);
  if (found == nullptr) throw Malformed{Place(where, key) + " is missing"};
  return *found;
}

double NumberAt(const Json& value, const std::string& where) {
  if (value.is_null()) return kMissing;
  if (!value.is_number()) WrongType(value, where, "a number or null");
  return value.get<double>();
}

uint32_t WholeAt(const Json& value, const std::string& where) {
  if (!value.is_number_unsigned() || value.get<uint64_t>() > std::numeric_limits<uint32_t>::max()) {
    WrongType(value, where, "a whole number");
  }
  return static_cast<uint32_t>(value.get<uint64_t>());
}

std::string TextAt(const Json& value, const std::string& where) {
  if (!value.is_string()) WrongType(value, where, "a text");
  return LenientUtf8(value.get<std::string>());
}

bool BooleanAt(const Json& value, const std::string& where) {
  if (!value.is_boolean()) WrongType(value, where, "true or false");
  return value.get<bool>();
}

const Json& ListAt(const Json& value, const std::string& where) {
  if (!value.is_array()) WrongType(value, where, "a list");
  return value;
}

const Json& ObjectAt(const Json& value, const std::string& where) {
  if (!value.is_object()) WrongType(value, where, "an object");
  return value;
}

stats::Interval IntervalAt(const Json& value, const std::string& where) {
  if (value.is_null()) return {};
  if (!value.is_array() || value.size() != 2) WrongType(value, where, "[low, high] or null");
  return {NumberAt(value[0], where + "[0]"), NumberAt(value[1], where + "[1]")};
}

double Number(const Json& object, const std::string& where, const char* key) {
  return NumberAt(Member(object, where, key), Place(where, key));
}
uint32_t Whole(const Json& object, const std::string& where, const char* key) {
  return WholeAt(Member(object, where, key), Place(where, key));
}
std::string Text(const Json& object, const std::string& where, const char* key) {
  return TextAt(Member(object, where, key), Place(where, key));
}
const Json& List(const Json& object, const std::string& where, const char* key) {
  return ListAt(Member(object, where, key), Place(where, key));
}

Json NumberJson(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }

Json IntervalJson(const stats::Interval& interval) {
  if (!interval.Defined()) return nullptr;
  return Json::array({NumberJson(interval.low), NumberJson(interval.high)});
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

std::string ParserMessage(const Json::exception& failure) {
  // Its "[json.exception...] " prefix names the library, not the fault.
  const std::string what = failure.what();
  const size_t bracket = what.find("] ");
  return OneLine("not JSON: " + (bracket == std::string::npos ? what : what.substr(bracket + 2)));
}

}  // namespace json_fields
