#include "output/jack/kept_until_exit.h"

#include <atomic>

namespace {

// A run ends at its first lost server, so a process keeps a few objects at
// most; past the table's end they are still never freed, only not held.
std::atomic<const void*> kept[64];

}  // namespace

void KeepUntilExit(const void* object) {
  if (object == nullptr) return;
  for (std::atomic<const void*>& slot : kept) {
    const void* empty = nullptr;
    if (slot.compare_exchange_strong(empty, object)) return;
  }
}
