#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace analyzer {

// The analyzer's whole command line: results files and folders in, a
// summary on `out`, an HTML report beside each file (and one for several
// files together), errors one line each on `err` (a companion file that
// cannot be used is one too, but no failure). Returns the exit code:
// 0 all read, 1 some input was bad (the rest is still analysed), 2 usage.
int RunAnalyzer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace analyzer
