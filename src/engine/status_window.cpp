#include "engine/status_window.h"

#include <cstring>

void CopyStatusText(char (&target)[StatusWindow::kTextCapacity], const char* text) {
  std::memset(target, 0, sizeof(target));
  if (text == nullptr) return;
  std::strncpy(target, text, sizeof(target) - 1);
}
