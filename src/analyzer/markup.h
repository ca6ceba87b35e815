#pragma once
#include <string>
#include <string_view>

namespace analyzer {

// Text made safe inside HTML and SVG elements and attribute values.
std::string Escaped(std::string_view text);

// The report style sheet's class for a verdict: a cost stands out, none is calm.
std::string VerdictClass(const std::string& verdict);

}  // namespace analyzer
