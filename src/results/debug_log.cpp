#include "results/debug_log.h"

#include <cstring>

#include "platform/files.h"

void AppendTextToFile(const char* fileName, const char* text) {
  if (text == nullptr) return;
  const size_t length = std::strlen(text);
  // An empty text opens the file like any other (creating it if missing) and writes nothing.
  if (length > 0 && text[length - 1] == '\n') {
    const char* pieces[] = {text, "\r", "\n"};
    const size_t sizes[] = {length - 1, 1, 1};
    platform::AppendPiecesToFile(fileName, pieces, sizes, 3);
  } else {
    const char* pieces[] = {text};
    const size_t sizes[] = {length};
    platform::AppendPiecesToFile(fileName, pieces, sizes, 1);
  }
}

void DeleteNamedFile(const char* fileName) { platform::DeleteFileNamed(fileName); }

namespace DebugLog {

void Write(const char* text) { AppendTextToFile(kFileName, text); }
void Delete() { DeleteNamedFile(kFileName); }

}  // namespace DebugLog
