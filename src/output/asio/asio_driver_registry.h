#pragma once
#include "output/asio/asio_interface.h"

// Result codes of the record operations, beside the COM failure codes that
// OpenDriver passes on.
inline constexpr long kAsioDriverInvalidArgument = -5001;
inline constexpr long kAsioDriverAlreadyOpen = -5002;
inline constexpr long kAsioDriverNoRecord = -5003;

struct AsioDriverRecord {
  int number = 0;
  CLSID classId{};
  char displayName[128] = {};
  IASIO* driver = nullptr;
  AsioDriverRecord* next = nullptr;
};

// The ASIO drivers announced under HKLM "software\asio" whose in-process
// server file exists, numbered from 0 without gaps. Built once; COM is
// initialised on the building thread while the list is not empty.
class AsioDriverRegistry {
 public:
  AsioDriverRegistry();
  ~AsioDriverRegistry();
  AsioDriverRegistry(const AsioDriverRegistry&) = delete;
  AsioDriverRegistry& operator=(const AsioDriverRegistry&) = delete;

  int Count() const { return count; }
  // Names that do not fit `capacity` end in "..." and fill it exactly.
  long DriverName(int number, char* buffer, int capacity) const;
  long OpenDriver(int number, IASIO** driver);
  long CloseDriver(int number);

  AsioDriverRecord* first = nullptr;
  int count = 0;

 private:
  AsioDriverRecord* Find(int number) const;
};

// The one driver loaded for use, chosen by display name.
class AsioDriverLoader {
 public:
  bool LoadByName(const char* name);
  // Capacity 32; empty and false when nothing is loaded.
  bool CurrentName(char* buffer) const;
  void UnloadCurrent();

  AsioDriverRegistry registry;
  int currentIndex = -1;
};

// The process-wide loader (made by the first OpenAsioDriverByName) and the
// interface of its current driver.
extern AsioDriverLoader* asioDriverLoader;
extern IASIO* CurrentAsioDriver;

bool OpenAsioDriverByName(const char* name);
// Loads device `number` of `devices` by the name its own list gives
// (capacity 32).
bool OpenAsioDriverOf(const AsioDriverRegistry& devices, int number);
