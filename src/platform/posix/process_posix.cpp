#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

#include "platform/process.h"

namespace platform {

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return "./";
  std::string full(path, static_cast<size_t>(length));
  return full.substr(0, full.rfind('/') + 1);
}

bool StartDetached(WindowHandle, const std::string& program, const std::string& argument) {
  if (access(program.c_str(), X_OK) != 0) return false;
  // Double fork: the grandchild is adopted by init, so nobody has to reap it.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    if (fork() != 0) _exit(0);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, STDIN_FILENO);
      dup2(devNull, STDOUT_FILENO);
    }
    execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

InstanceHandle ProgramInstance() { return nullptr; }

void InitializeComForThread() {}
void UninitializeComForThread() {}

}  // namespace platform
