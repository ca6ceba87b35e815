#include <windows.h>

#include "platform/child_process.h"

namespace platform {
namespace {

// The command line is parsed back into arguments: each one quoted, with
// its quotes and the backslashes before them escaped.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else {
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, '\\');
  return quoted + "\"";
}

// Our own value, to put back once the child has its copy.
struct SavedVariable {
  std::string name, value;
  bool present = false;
};

}  // namespace

int RunChildProgram(const ChildProgram& child) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE log = CreateFileA(child.logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return -1;
  HANDLE nothing = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
  std::string commandLine = Quoted(child.program);
  for (const std::string& argument : child.arguments) commandLine += " " + Quoted(argument);
  std::vector<SavedVariable> saved;
  for (const auto& [name, value] : child.environment) {
    SavedVariable variable{name, {}, false};
    char buffer[32768];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof(buffer));
    variable.present = length > 0 && length < sizeof(buffer);
    if (variable.present) variable.value.assign(buffer, length);
    saved.push_back(variable);
    SetEnvironmentVariableA(name.c_str(), value.c_str());
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing;
  startup.hStdOutput = log;
  startup.hStdError = log;
  PROCESS_INFORMATION process{};
  // On our console, so that its Ctrl-C reaches the child as it reaches us.
  const BOOL started =
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     child.directory.empty() ? nullptr : child.directory.c_str(), &startup, &process);
  for (const SavedVariable& variable : saved) {
    SetEnvironmentVariableA(variable.name.c_str(), variable.present ? variable.value.c_str() : nullptr);
  }
  CloseHandle(log);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(code);
}

}  // namespace platform
