#include "platform/text_encoding.h"
#include "platform/utf8.h"

namespace platform {
namespace {

// Code page 1252 at 0x80-0x9F; from 0xA0 on it is Latin-1. 0: undefined.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t FromWindows1252(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char16_t mapped = kWindows1252High[byte - 0x80];
  return mapped != 0 ? mapped : U'?';
}

}  // namespace

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const size_t length = Utf8SequenceAt(text, at, codePoint);
    if (length != 0) {
      out.append(text.substr(at, length));
      at += length;
    } else {
      AppendUtf8(out, FromWindows1252(static_cast<unsigned char>(text[at])));
      ++at;
    }
  }
  return out;
}

}  // namespace platform
