#include "app/exit_code_help.h"

#include <string>

namespace {

constexpr struct {
  unsigned bit;
  const char* name;
} kCommandNames[] = {{kCommandDevices, "devices"}, {kCommandRun, "run"}, {kCommandBatch, "batch"},
                     {kCommandSweep, "sweep"}};

std::string CommandNames(unsigned commands) {
  if (commands == kEveryCommand) return "every command";
  std::string names;
  for (const auto& command : kCommandNames) {
    if ((commands & command.bit) == 0) continue;
    if (!names.empty()) names += ", ";
    names += command.name;
  }
  return names;
}

bool OneCommand(unsigned commands) { return commands != 0 && (commands & (commands - 1)) == 0; }

}  // namespace

std::string ExitCodeHelp(unsigned commands) {
  std::string text = "Exit codes:\n";
  for (const ExitCodeMeaning& row : kExitCodeTable) {
    if ((row.commands & commands) == 0) continue;
    std::string code = std::to_string(row.code);
    code.resize(5, ' ');
    text += "  " + code;
    if (!OneCommand(commands)) text += CommandNames(row.commands & commands) + ": ";
    text += std::string(row.meaning) + '\n';
  }
  return text;
}

std::string ExitCodeMarkdown() {
  std::string text = "| code | meaning | commands |\n|---|---|---|\n";
  for (const ExitCodeMeaning& row : kExitCodeTable) {
    text += "| " + std::to_string(row.code) + " | " + row.meaning + " | " + CommandNames(row.commands) + " |\n";
  }
  return text;
}
