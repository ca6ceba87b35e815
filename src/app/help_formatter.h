#pragma once
#include <CLI/CLI.hpp>

#include <string>

// kv3r's help, with `--help-all` laid out for help2man, which makes the man
// page from it: a line ending in a colon opens a section, an indented line
// starting with '-' is an option. Each command gets a section of its own
// ("Command run:", its description, its options); --help is CLI11's.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_expanded(const CLI::App* command) const override;
};
