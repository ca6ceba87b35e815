#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/program_output.h"

namespace platform {

bool RunForOutput(const std::string& program, const std::string& argument, std::string& output, int& exitCode) {
  output.clear();
  exitCode = -1;
  if (access(program.c_str(), X_OK) != 0) return false;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return false;
  }
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipeEnds[0], buffer, sizeof(buffer));
    if (got > 0) {
      output.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return exitCode != 127;
}

}  // namespace platform
