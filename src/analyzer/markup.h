#pragma once
#include <string>
#include <string_view>

// Text made safe inside HTML and SVG elements and attribute values.
std::string Escaped(std::string_view text);
