#include "results/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

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

void Writef(const char* format, ...) {
  char text[520];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(text, sizeof(text), format, arguments);
  va_end(arguments);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof(text)) {
    Write(text);
    return;
  }
  std::string longer(static_cast<size_t>(length) + 1, '\0');
  va_start(arguments, format);
  std::vsnprintf(longer.data(), longer.size(), format, arguments);
  va_end(arguments);
  Write(longer.c_str());
}
void Delete() { DeleteNamedFile(kFileName); }

}  // namespace DebugLog
