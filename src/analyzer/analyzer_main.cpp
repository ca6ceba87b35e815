#include <iostream>
#include <string>
#include <vector>

#include "analyzer/analyzer_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return analyzer::RunAnalyzer(arguments, std::cout, std::cerr);
}
