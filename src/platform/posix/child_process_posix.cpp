#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/child_process.h"
#include "platform/interrupt.h"

namespace platform {

int RunChildProgram(const ChildProgram& child) {
  // Everything the child needs is made before fork: after it, only
  // async-signal-safe calls.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(child.program.c_str()));
  for (const std::string& argument : child.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> settings;
  for (const auto& [name, value] : child.environment) settings.push_back(name + "=" + value);
  std::vector<char*> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    bool replaced = false;
    for (const auto& [name, value] : child.environment) {
      const std::string prefix = name + "=";
      replaced = replaced || std::string(*variable).compare(0, prefix.size(), prefix) == 0;
    }
    if (!replaced) environment.push_back(*variable);
  }
  for (std::string& setting : settings) environment.push_back(setting.data());
  environment.push_back(nullptr);

  const int log = open(child.logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log < 0) return -1;
  const pid_t pid = fork();
  if (pid < 0) {
    close(log);
    return -1;
  }
  if (pid == 0) {
    // Its own process group: the terminal's Ctrl-C reaches the child only
    // through us, so it gets each interruption exactly once.
    setpgid(0, 0);
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0) dup2(nothing, STDIN_FILENO);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    if (!child.directory.empty() && chdir(child.directory.c_str()) != 0) _exit(127);
    execve(child.program.c_str(), argv.data(), environment.data());
    _exit(127);
  }
  setpgid(pid, pid);
  close(log);
  ForwardInterruptionsTo(pid);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ForwardInterruptionsTo(0);
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace platform
