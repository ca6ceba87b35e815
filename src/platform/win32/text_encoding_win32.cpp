#include <windows.h>

#include <string>

#include "platform/text_encoding.h"

namespace platform {

std::string AnsiToUtf8(std::string_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  UINT codePage = CP_ACP;
  int wideLength = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (wideLength == 0) {
    codePage = 1252;
    wideLength = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (wideLength == 0) return std::string(text);
  }
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), wideLength);
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
  return utf8;
}

}  // namespace platform
