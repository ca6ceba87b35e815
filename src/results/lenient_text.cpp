#include "results/lenient_text.h"

#include <cstdint>

namespace {

// Length of the well-formed UTF-8 sequence at `at`, or 0.
size_t SequenceLength(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(at);
  size_t length = 0;
  uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  // Overlong forms, surrogates and what lies beyond Unicode are not well-formed.
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string LenientUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    const uint8_t lead = static_cast<uint8_t>(bytes[at]);
    if (lead < 0x80) {
      const bool control = lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r';
      text += control || lead == 0x7F ? '?' : static_cast<char>(lead);
      ++at;
      continue;
    }
    if (const size_t length = SequenceLength(bytes, at); length != 0) {
      text.append(bytes.substr(at, length));
      at += length;
      continue;
    }
    // Latin-1: the byte is the code point, 0x80-0xFF in two bytes.
    if (lead < 0xA0) {
      text += '?';  // C1 controls
    } else {
      text += static_cast<char>(0xC0 | (lead >> 6));
      text += static_cast<char>(0x80 | (lead & 0x3F));
    }
    ++at;
  }
  return text;
}
