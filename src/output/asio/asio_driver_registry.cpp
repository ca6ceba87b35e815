#include "output/asio/asio_driver_registry.h"

#include <algorithm>
#include <cstring>

AsioDriverLoader* asioDriverLoader = nullptr;
IASIO* CurrentAsioDriver = nullptr;

namespace {

constexpr int kNameSize = 128;
constexpr int kValueSize = 256;
constexpr int kPathSize = 512;

// Reads a string value; false when it is missing or does not fit. The last
// byte stays zero, as a value stored without terminator would not be.
bool ReadString(HKEY key, const char* value, char* buffer, DWORD size) {
  DWORD type = 0;
  DWORD room = size - 1;
  buffer[size - 1] = '\0';
  const LONG status = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &room);
  if (status == ERROR_SUCCESS && room < size) buffer[room] = '\0';
  return status == ERROR_SUCCESS;
}

// Whether the class id text names a registered in-process server whose file
// exists. Only the first subkey that matches is looked at.
bool ServerFileExists(char* classIdText) {
  CharLowerBuffA(classIdText, static_cast<DWORD>(std::strlen(classIdText)));
  HKEY classes = nullptr;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, "clsid", &classes) != ERROR_SUCCESS) return false;
  bool found = false;
  char name[kPathSize];
  for (DWORD index = 0; RegEnumKeyA(classes, index, name, kPathSize) == ERROR_SUCCESS; ++index) {
    CharLowerBuffA(name, static_cast<DWORD>(std::strlen(name)));
    if (std::strcmp(name, classIdText) != 0) continue;
    HKEY classKey = nullptr;
    if (RegOpenKeyExA(classes, name, 0, KEY_READ, &classKey) == ERROR_SUCCESS) {
      HKEY server = nullptr;
      if (RegOpenKeyExA(classKey, "InprocServer32", 0, KEY_READ, &server) == ERROR_SUCCESS) {
        char path[kPathSize] = {};
        if (ReadString(server, nullptr, path, kPathSize)) {
          OFSTRUCT file{};
          found = OpenFile(path, &file, OF_EXIST) != HFILE_ERROR;
        }
        RegCloseKey(server);
      }
      RegCloseKey(classKey);
    }
    break;
  }
  RegCloseKey(classes);
  return found;
}

AsioDriverRecord* MakeRecord(HKEY asio, const char* keyName, int number) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(asio, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  char classIdText[kValueSize] = {};
  if (!ReadString(key, "clsid", classIdText, kValueSize) || !ServerFileExists(classIdText)) {
    RegCloseKey(key);
    return nullptr;
  }
  auto* record = new AsioDriverRecord();
  record->number = number;
  WCHAR wide[100] = {};
  if (MultiByteToWideChar(CP_ACP, 0, classIdText, -1, wide, 100) > 0) {
    CLSID parsed{};
    if (CLSIDFromString(wide, &parsed) == S_OK) record->classId = parsed;
  }
  char description[kValueSize] = {};
  // A description too long for the display name is cut to its first 127
  // characters.
  const char* shown = ReadString(key, "description", description, kValueSize) ? description : keyName;
  std::memcpy(record->displayName, shown, std::min<size_t>(std::strlen(shown), kNameSize - 1));
  RegCloseKey(key);
  return record;
}

}  // namespace

AsioDriverRegistry::AsioDriverRegistry() {
  HKEY asio = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\asio", &asio) != ERROR_SUCCESS) return;
  AsioDriverRecord** tail = &first;
  int made = 0;
  char name[kNameSize];
  for (DWORD index = 0; RegEnumKeyA(asio, index, name, kNameSize) == ERROR_SUCCESS; ++index) {
    if (AsioDriverRecord* record = MakeRecord(asio, name, made)) {
      *tail = record;
      tail = &record->next;
      ++made;
    }
  }
  RegCloseKey(asio);
  for (AsioDriverRecord* record = first; record != nullptr; record = record->next) ++count;
  if (count != 0) CoInitialize(nullptr);
}

AsioDriverRegistry::~AsioDriverRegistry() {
  if (count == 0) return;
  // Last to first, as the list was built.
  while (first != nullptr) {
    AsioDriverRecord** link = &first;
    while ((*link)->next != nullptr) link = &(*link)->next;
    AsioDriverRecord* record = *link;
    if (record->driver != nullptr) record->driver->Release();
    delete record;
    *link = nullptr;
  }
  CoUninitialize();
}

AsioDriverRecord* AsioDriverRegistry::Find(int number) const {
  for (AsioDriverRecord* record = first; record != nullptr; record = record->next) {
    if (record->number == number) return record;
  }
  return nullptr;
}

long AsioDriverRegistry::DriverName(int number, char* buffer, int capacity) const {
  if (buffer == nullptr) return kAsioDriverInvalidArgument;
  const AsioDriverRecord* record = Find(number);
  if (record == nullptr) return kAsioDriverNoRecord;
  const size_t length = std::strlen(record->displayName);
  if (capacity > 0 && length < static_cast<size_t>(capacity)) {
    std::memcpy(buffer, record->displayName, length + 1);
  } else if (capacity >= 4) {
    const size_t kept = static_cast<size_t>(capacity) - 4;
    std::memcpy(buffer, record->displayName, kept);
    std::memcpy(buffer + kept, "...", 4);
  } else if (capacity > 0) {
    buffer[0] = '\0';
  }
  return 0;
}

long AsioDriverRegistry::OpenDriver(int number, IASIO** driver) {
  if (driver == nullptr) return kAsioDriverInvalidArgument;
  AsioDriverRecord* record = Find(number);
  if (record == nullptr) return kAsioDriverNoRecord;
  if (record->driver != nullptr) return kAsioDriverAlreadyOpen;
  // ASIO drivers answer to their class id as the interface id too.
  void* object = nullptr;
  const HRESULT status = CoCreateInstance(record->classId, nullptr, CLSCTX_INPROC_SERVER, record->classId, &object);
  if (FAILED(status) || object == nullptr) return FAILED(status) ? status : E_POINTER;
  record->driver = static_cast<IASIO*>(object);
  *driver = record->driver;
  return 0;
}

long AsioDriverRegistry::CloseDriver(int number) {
  AsioDriverRecord* record = Find(number);
  if (record != nullptr && record->driver != nullptr) {
    record->driver->Release();
    record->driver = nullptr;
  }
  return 0;
}

bool AsioDriverLoader::CurrentName(char* buffer) const {
  if (currentIndex >= 0) return registry.DriverName(currentIndex, buffer, 32) == 0;
  buffer[0] = '\0';
  return false;
}

void AsioDriverLoader::UnloadCurrent() {
  if (currentIndex != -1) registry.CloseDriver(currentIndex);
  currentIndex = -1;
}

bool AsioDriverLoader::LoadByName(const char* name) {
  char candidate[32];
  for (int number = 0; number < registry.Count(); ++number) {
    if (registry.DriverName(number, candidate, 32) != 0 || std::strcmp(candidate, name) != 0) {
      continue;
    }
    char previous[32];
    CurrentName(previous);
    UnloadCurrent();
    if (registry.OpenDriver(number, &CurrentAsioDriver) == 0) {
      currentIndex = number;
      return true;
    }
    CurrentAsioDriver = nullptr;
    if (previous[0] != '\0' && std::strcmp(previous, candidate) != 0) LoadByName(previous);
    return false;
  }
  return false;
}

bool OpenAsioDriverByName(const char* name) {
  if (asioDriverLoader == nullptr) asioDriverLoader = new AsioDriverLoader();
  return asioDriverLoader != nullptr && asioDriverLoader->LoadByName(name);
}

bool OpenAsioDriverOf(const AsioDriverRegistry& devices, int number) {
  char driverName[32];
  return devices.DriverName(number, driverName, 32) == 0 && OpenAsioDriverByName(driverName);
}
