#include "analyzer/json_fields.h"

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

void WrongType(const Json& value, const std::string& where, const char* expected) {
  throw Malformed{where + " is " + Kind(value) + ", not " + expected};
}

}  // namespace json_fields
