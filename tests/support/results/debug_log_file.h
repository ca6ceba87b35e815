#pragma once
#include <string>

#include "platform/files.h"
#include "results/debug_log.h"

// The debug log as the bytes on disk; "" when there is none.
inline std::string ReadDebugLog() {
  std::string content;
  platform::ReadWholeFile(DebugLog::kFileName, content);
  return content;
}
