#include <windows.h>

#include "platform/terminal.h"

namespace platform {

bool IsStandardOutputTerminal() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  return output != nullptr && output != INVALID_HANDLE_VALUE && GetFileType(output) == FILE_TYPE_CHAR;
}

}  // namespace platform
