#pragma once
#include <string_view>

// The name the results file's stylesheet instruction refers to.
inline constexpr const char* kStylesheetName = "dataresults.xsl";

// dataresults.xsl as shipped beside the programs, compiled in so the
// analyzer can put it beside any results file that lacks it.
std::string_view StylesheetText();
