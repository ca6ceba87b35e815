#pragma once

namespace platform {

// True when standard output is a terminal (a console window on Windows),
// false for a file or a pipe.
bool IsStandardOutputTerminal();

}  // namespace platform
