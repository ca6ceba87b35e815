#pragma once
#include <string_view>

#include "results/results_elements.h"

namespace analyzer {

// The name the results file's stylesheet instruction refers to.
inline constexpr const char* kStylesheetName = results_elements::kStylesheetFile;

// dataresults.xsl as shipped beside the programs, compiled in so the
// analyzer can put it beside any results file that lacks it.
std::string_view StylesheetText();

}  // namespace analyzer
