#pragma once
#include <string>

#include "engine/exit_codes.h"

// "Exit codes:" and a line per code that `commands` (kCommand... bits) can
// end with, for a --help footer; with more than one command, each line names
// the commands it is for.
std::string ExitCodeHelp(unsigned commands);

// The table as the README shows it: code, meaning, commands.
std::string ExitCodeMarkdown();
