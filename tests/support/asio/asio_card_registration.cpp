#include "support/asio/asio_card_registration.h"

#include <windows.h>

namespace {

bool SetText(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

std::string SimulatedCardPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + "simulated_asio_card.dll";
}

bool RegisterAsioCard(const AsioCardKey& card) {
  HKEY key = nullptr;
  const std::string path = "software\\asio\\" + card.key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  if (!card.classId.empty()) ok &= SetText(key, "clsid", card.classId);
  if (!card.description.empty()) ok &= SetText(key, "description", card.description);
  for (const auto& [name, value] : card.values) ok &= SetText(key, name.c_str(), value);
  RegCloseKey(key);
  if (card.classId.empty() || card.server.empty()) return ok;
  const std::string server = "CLSID\\" + card.classId + "\\InprocServer32";
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, server.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  ok &= SetText(key, nullptr, card.server);
  ok &= SetText(key, "ThreadingModel", "Both");
  RegCloseKey(key);
  return ok;
}

void UnregisterAsioCard(const AsioCardKey& card) {
  const std::string path = "software\\asio\\" + card.key;
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
  if (!card.classId.empty()) RegDeleteTreeA(HKEY_CLASSES_ROOT, ("CLSID\\" + card.classId).c_str());
}
