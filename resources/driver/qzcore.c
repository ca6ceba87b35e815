/* QZCore: a kernel-mode driver that the program carries and writes beside
 * itself. It imports nothing, keeps no state and does no work: its entry
 * registers an unload routine and reports success. */
#include <stddef.h>

typedef long Status;

struct CountedString {
  unsigned short length;
  unsigned short maximumLength;
  unsigned short* buffer;
};

/* The leading part of the kernel's driver record, up to the unload routine. */
struct DriverRecord {
  short type;
  short size;
  void* deviceObject;
  unsigned long flags;
  void* driverStart;
  unsigned long driverSize;
  void* driverSection;
  void* driverExtension;
  struct CountedString driverName;
  struct CountedString* hardwareDatabase;
  void* fastIoDispatch;
  void* driverInit;
  void* driverStartIo;
  void(__stdcall* driverUnload)(struct DriverRecord* driver);
};

#ifdef _WIN64
_Static_assert(offsetof(struct DriverRecord, driverUnload) == 0x68, "unload routine of a 64-bit driver record");
#else
_Static_assert(offsetof(struct DriverRecord, driverUnload) == 0x34, "unload routine of a 32-bit driver record");
#endif

static void __stdcall Unload(struct DriverRecord* driver) { (void)driver; }

Status __stdcall DriverEntry(struct DriverRecord* driver, struct CountedString* registryPath) {
  (void)registryPath;
  driver->driverUnload = Unload;
  return 0;
}
