#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"
#include "results/back_end_figure.h"

// How a sound test plays its emitters.
enum SoundMode : uint8_t {
  Mode2D = 0,             // plain (non-3D) buffers
  Mode3DSoftware = 1,     // 3D buffers mixed in software
  Mode3DHardware = 2,     // 3D buffers in hardware
  Mode3DHardwareEax = 3,  // 3D buffers in hardware with an EAX reverb environment
};

// Feature ids asked with GetFeature; any other id yields 0.
enum OutputFeature : int {
  Hardware2D = 0,  // more than 2 hardware 2D buffers
  Hardware3D = 1,  // more than 2 hardware 3D buffers
  Eax10 = 2,
  Eax20 = 3,
  Eax30 = 4,
  Eax40 = 5,
  Eax50 = 6,
  XRam = 7,     // OpenAL only
  ZoomFx = 8,   // DirectSound only
  Version = 9,  // OpenAL: major * 65536 + minor; DirectSound: 2048
};

// The one interface through which the engine, the AudioThread and the dialog
// drive an audio back end. The 23 operations keep this slot order.
//
// Who calls what:
// - The dialog (or kv3r): GetDeviceCount, GetDeviceName, SelectDevice,
//   GetFeature and GetFeatureReport.
// - The engine, on its own thread, for one sound test in this order:
//   GetSelectedDevice, GetDeviceName, (modes 2 and 3) GetHw3DBufferCount,
//   Init, CreateEmitter for each emitter, PlayEmitter for each emitter; then
//   it lets the AudioThread run; after the measured time it stops the thread
//   and waits for a pass in progress, then DestroyEmitter for each emitter
//   and Close. Close leaves the back end ready for the next Init.
// - The AudioThread, every 50 ms while allowed: GetEmitterCount,
//   SetListenerPosition, SetListenerOrientation, SetEmitterPosition and
//   SetEmitterDistances for i < GetEmitterCount(), CommitDeferred.
//
// Rules every back end keeps:
// - Nothing throws, except the constructor (the engine skips such a back end).
// - Queries taking `device` return 0 and write nothing when `device` is
//   negative or not below GetDeviceCount().
// - Emitter indexes are 0..255; anything else is refused (0 / no-op).
// - The 3D operations and CommitDeferred are harmless no-ops on anything
//   that does not exist: no device open, no listener, an emitter index never
//   created. The AudioThread may ask for more emitters than were created.
// - DestroyEmitter on an index without emitter is a no-op returning 1.
// - There is no lock inside a back end: the engine's ordering keeps the
//   AudioThread away from anything being created or destroyed.
// - DeviceGone: the engine asks before every test (with no device open),
//   after Init, after each emitter is created and started, at every reading
//   and once after the measured period. A back end may connect a watch of
//   its device's server at a question asked while no test is open (never
//   inside a measuring loop: one is always asked before it), so that every
//   later question is one load. A device Init could not open any more is
//   gone until the next Init.
class CAbstractOutput {
 public:
  // `name` is what the dialog's tree, kv3r and the results show for the back
  // end ("DirectSound", "OpenAL", "ASIO"); it must outlive the back end.
  explicit CAbstractOutput(const char* name) : name(name) {}
  CAbstractOutput(const CAbstractOutput&) = delete;
  CAbstractOutput& operator=(const CAbstractOutput&) = delete;

  // 1. Releases everything, including the device list and loaded libraries.
  virtual ~CAbstractOutput();
  // 2. Stores emitterCount (the emitters the test creates, 0..256), then
  // opens `device` for one test in `mode`.
  virtual int Init(platform::WindowHandle window, int device, int frequency, int emitterCount, uint8_t mode) = 0;
  // 3. Releases what Init created; returns 1.
  virtual int Close() = 0;
  // 4. Devices found at construction.
  virtual int GetDeviceCount() = 0;
  // 5. At most 127 characters and a terminator into `name`
  // (kDeviceNameCapacity bytes).
  virtual int GetDeviceName(int device, char* name) = 0;
  // 6.
  virtual int GetSelectedDevice() = 0;
  // 7. No check.
  virtual void SelectDevice(int device) = 0;
  // 8. Non-zero when `feature` is present.
  virtual int GetFeature(int device, int feature) = 0;
  // 9.
  virtual int GetHw2DBufferCount(int device) = 0;
  // 10.
  virtual int GetHw3DBufferCount(int device) = 0;
  // 11. Appends the selected device's report (lines end in "\n") to `text`,
  // a buffer of kFeatureReportCapacity bytes that it never writes past.
  virtual void GetFeatureReport(char* text) = 0;
  // 12.
  virtual int GetXRamSize(int device) = 0;
  // 13.
  virtual int GetXRamFree(int device) = 0;
  // 14. The count stored by the last Init.
  virtual int GetEmitterCount();
  // 15. `data` must stay alive until the emitter is destroyed.
  virtual int CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int deferred,
                            int useXRam) = 0;
  // 16.
  virtual int DestroyEmitter(int index) = 0;
  // 17.
  virtual int PlayEmitter(int index) = 0;
  // 18.
  virtual int StopEmitter(int index) = 0;
  // 19-22: `apply` 0 applies at once, 1 defers until CommitDeferred(1).
  virtual int SetEmitterPosition(int index, float x, float y, float z, int apply) = 0;
  virtual int SetEmitterDistances(int index, float minDistance, float maxDistance, int apply) = 0;
  virtual int SetListenerPosition(float x, float y, float z, int apply) = 0;
  virtual int SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                     int apply) = 0;
  // 23. Always 0.
  virtual int CommitDeferred(int apply) = 0;
  // Whether the device Init opened has gone away (its server stopped, the card was removed). Polled by the engine without allocating.
  virtual bool DeviceGone() { return false; }

  // Not one of the 23: the rate a back end plays every buffer at whatever
  // `frequency` it is given, 0 when it follows the setting. Read by the run
  // plan, so no front end needs to know which back end does this.
  virtual int FixedPlaybackRate() { return 0; }

  // Not one of the 23: the name the results give a test in `mode` on this
  // back end ("XAudio2 3D"), for a back end whose modes are not the
  // specified ones; null gives the usual back-end name and mode text.
  virtual const char* ModeName(uint8_t) { return nullptr; }

  // Not one of the 23: what the back end measured about its device during
  // the test now open, asked once after the measured period and before the
  // emitters are destroyed. Empty when it has nothing to say.
  virtual std::vector<BackEndFigure> TestFigures() { return {}; }

  // Not a slot: the name given at construction.
  const char* Name() const { return name; }

 protected:
  int emitterCount = 0;  // 0..256, stored by Init

 private:
  const char* name;
};

// The text capacities of the contract: a feature report's buffer and a
// device name's (127 characters and the terminator).
inline constexpr size_t kFeatureReportCapacity = 4096;
inline constexpr size_t kDeviceNameCapacity = 128;

// Emitter slots every back end keeps.
inline constexpr int kMaxEmitters = 256;
inline constexpr bool IsEmitterIndex(int index) { return index >= 0 && index < kMaxEmitters; }
