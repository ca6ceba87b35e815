#pragma once
#include <string>

namespace platform {

// Holds back what is written to the standard error from Begin to End, the
// loaded libraries' own messages included (they write to the descriptor,
// not through our streams). End gives it back and restores the standard
// error. Windows: nothing is held (the libraries there say nothing on it).
void BeginErrorCapture();
std::string EndErrorCapture();

}  // namespace platform
