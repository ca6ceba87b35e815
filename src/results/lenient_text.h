#pragma once
#include <string>
#include <string_view>

// `bytes` as valid UTF-8: well-formed sequences stay, every other byte is
// taken as a Latin-1 character. Control characters other than tab and line
// ends become '?', so the text is safe in XML, HTML and JSON alike.
std::string LenientUtf8(std::string_view bytes);
