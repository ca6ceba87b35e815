#pragma once
#include <string>

namespace analyzer {

// A results file's date as people read it: "Wednesday,09,December,2026,
// 06:25 32 AM" becomes "9 December 2026, 06:25:32". Text in any other form
// is returned as it is.
std::string ReadableDate(const std::string& raw);

}  // namespace analyzer
