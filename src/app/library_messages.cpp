#include "app/library_messages.h"

#include "platform/files.h"

namespace {
bool kept = false;
}  // namespace

bool LibraryMessagesKept() { return kept; }

void KeepLibraryMessages(const std::string& messages, std::ostream& err) {
  if (messages.empty()) return;
  if (!platform::WriteWholeFile(kLibraryMessagesFile, messages.data(), messages.size(), false)) {
    // Nowhere to keep them: they are the user's only clue.
    err << messages;
    return;
  }
  kept = true;
}
