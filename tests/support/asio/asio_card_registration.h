#pragma once
// Registers simulated cards in this process's registry view, as a vendor's
// installer would: HKLM software\asio\<key> and HKCR CLSID\{...}\InprocServer32.
#include <string>
#include <utility>
#include <vector>

struct AsioCardKey {
  std::string key;
  std::string classId;      // "{...}"; empty: no "clsid" value
  std::string description;  // empty: no "description" value
  std::string server;       // server file; empty: the class is not registered
  std::vector<std::pair<std::string, std::string>> values;
};

// The simulated card's file, beside the running program.
std::string SimulatedCardPath();
bool RegisterAsioCard(const AsioCardKey& card);
void UnregisterAsioCard(const AsioCardKey& card);
