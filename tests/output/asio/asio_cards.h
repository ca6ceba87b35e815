#pragma once
#include <string>

// The cards every test of this program finds registered (see asio_cards.cpp).
// The loader reads the registry once per process, so all are registered
// before the first test and removed after the last.
inline constexpr char kStereo16[] = "kv3r Stereo Int16";
inline constexpr char kStereo32[] = "kv3r Stereo Int32";
inline constexpr char kWide[] = "kv3r 300 outputs";
inline constexpr char kRateZero[] = "kv3r rate 0";
inline constexpr char kRateHigh[] = "kv3r rate 192001";
inline constexpr char kMixed[] = "kv3r mixed types";
inline constexpr char kFailing[] = "kv3r failing queries";
inline constexpr char kInitFails[] = "kv3r init fails";
inline constexpr char kNoServer[] = "kv3r no server";
inline constexpr char kKeyName[] = "kv3r key name";  // registered without "description"
inline constexpr char kName31[] = "kv3r thirty-one characters long";
inline constexpr char kName32a[] = "kv3r thirty-two characters long!";
inline constexpr char kName32b[] = "kv3r thirty-two characters long?";
inline constexpr char kName32Shown[] = "kv3r thirty-two characters l...";

// What a card journaled and captured, read back from the test's directory.
std::string Journal(const std::string& card);
void ClearJournal(const std::string& card);
std::string CaptureFile(const std::string& card);
// How often `entry` stands in a journal.
int JournalCount(const std::string& journal, const std::string& entry);
