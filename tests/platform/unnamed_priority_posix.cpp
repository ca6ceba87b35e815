#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "unnamed_priority.h"

namespace {

// PRIO_PROCESS with a thread id sets that one thread's nice value on Linux.
id_t ThreadId() { return static_cast<id_t>(syscall(SYS_gettid)); }

}  // namespace

bool SetUnnamedPriority() { return setpriority(PRIO_PROCESS, ThreadId(), 3) == 0; }

bool HasUnnamedPriority() { return getpriority(PRIO_PROCESS, ThreadId()) == 3; }
