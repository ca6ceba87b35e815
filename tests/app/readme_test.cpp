#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/exit_code_help.h"

namespace {

std::string ReadmeText() {
  std::ifstream file(KV3R_README, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The README's exit-code table is the program's: when a code or its meaning
// changes, the README says so too. The message holds the table to paste.
TEST(Readme, ExitCodeTableIsTheProgramsTable) {
  const std::string readme = ReadmeText();
  ASSERT_FALSE(readme.empty()) << KV3R_README;
  const size_t start = readme.find("| code | meaning | commands |");
  ASSERT_NE(start, std::string::npos) << "README.md has no exit-code table; it should hold\n" << ExitCodeMarkdown();
  const size_t end = readme.find("\n\n", start);
  EXPECT_EQ(readme.substr(start, end - start + 1), ExitCodeMarkdown());
}

}  // namespace
