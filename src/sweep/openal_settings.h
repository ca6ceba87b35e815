#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace sweep {

// OpenAL Soft's settings a sweep may vary, by the names of its settings
// file: "hrtf" for a key of [general], "decoder/hq-mode" for one of a section.
// `library` is the loaded library file's bytes ("" when unreadable): a key
// or choice the library was built without is not in its strings (the linker
// may merge one into the tail of a longer string, so a suffix counts).

// "" when OpenAL Soft takes `value` for `key`; else the reason, with what
// it does take.
std::string SettingRefusal(std::string_view key, std::string_view value, std::string_view library);

// The bytes of the OpenAL Soft library kv3r loads; "" when not found.
std::string LoadedOpenALLibraryBytes();

// A value as OpenAL Soft's settings file must hold it: the library replaces
// $NAME with the environment's, and $$ stands for a $.
std::string SettingText(std::string_view text);

}  // namespace sweep
