#pragma once
#include <cstdint>

#include "platform/types.h"

namespace platform {

// Beep: the speaker on Windows; the terminal bell on Linux when standard
// error is a terminal (otherwise silent). Blocks for `milliseconds` on both.
void Beep(uint32_t frequencyHz, uint32_t milliseconds);

enum class MessageIcon { Error, Warning, Information };

// A modal message box on Windows; the title and text on standard error elsewhere.
void ShowMessageBox(WindowHandle parent, const char* text, const char* title, MessageIcon icon);

}  // namespace platform
