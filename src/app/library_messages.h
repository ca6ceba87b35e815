#pragma once
#include <ostream>
#include <string>

// What the sound libraries wrote to the standard error while the back ends
// looked for devices (ALSA's and OpenAL Soft's own lines on a machine with
// no sound card): kept off the console, in this file of the current folder.
inline constexpr const char* kLibraryMessagesFile = "kv3r-libraries.log";

// Saves `messages` when there are any (on `err` when they cannot be saved).
void KeepLibraryMessages(const std::string& messages, std::ostream& err);

// True once messages were saved: the no-device answer then says where.
bool LibraryMessagesKept();
