#pragma once
#include <string>
#include <string_view>

namespace platform {

// 8-bit text as the system and our own tables hand it over, in UTF-8.
// Windows: from the ANSI code page; text that page cannot read (a UTF-8 page
// meeting our tables' single-byte micro sign) is read as code page 1252.
// Linux has no ANSI code page: its texts (OpenAL Soft's device names, ours)
// are UTF-8 already, except the processor tables' micro sign, the byte 0xB5
// of code page 1252. So well-formed UTF-8 sequences stay as they are and any
// other byte is read as code page 1252 ('?' for its five undefined bytes).
std::string AnsiToUtf8(std::string_view text);

}  // namespace platform
