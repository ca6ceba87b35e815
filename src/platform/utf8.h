#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Length of the well-formed UTF-8 sequence that starts at `text[at]`, with
// its code point; 0 for a byte that starts none (a stray continuation byte,
// an overlong form, a surrogate, beyond U+10FFFF, or cut short).
size_t Utf8SequenceAt(std::string_view text, size_t at, char32_t& codePoint);

void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace platform
