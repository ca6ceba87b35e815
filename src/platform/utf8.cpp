#include "platform/utf8.h"

namespace platform {

size_t Utf8SequenceAt(std::string_view text, size_t at, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  char32_t smallest = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC0 && lead < 0xE0) {
    length = 2, smallest = 0x80, codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3, smallest = 0x800, codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4, smallest = 0x10000, codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0u) != 0x80u) return 0;
    codePoint = (codePoint << 6) | (next & 0x3Fu);
  }
  if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

}  // namespace platform
