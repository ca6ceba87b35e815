#include "results/xml_text.h"

#include "platform/text_encoding.h"
#include "platform/utf8.h"

namespace {

bool IsXmlCharacter(char32_t c) {
  if (c < 0x20) return c == U'\t' || c == U'\n' || c == U'\r';
  return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

std::string XmlSafeUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    char32_t codePoint = 0;
    const size_t length = platform::Utf8SequenceAt(utf8, at, codePoint);
    if (length != 0 && IsXmlCharacter(codePoint)) {
      out.append(utf8.substr(at, length));
    } else {
      out += '?';
    }
    at += length != 0 ? length : 1;
  }
  return out;
}

std::string XmlTextFromAnsi(std::string_view ansi) { return XmlSafeUtf8(platform::AnsiToUtf8(ansi)); }
