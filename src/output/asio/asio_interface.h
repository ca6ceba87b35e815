#pragma once
// The published ASIO driver interface, declared here from its public
// description. Windows only: drivers are COM in-process servers.
#include <windows.h>
// COM: IUnknown, CoCreateInstance and the class id helpers.
#include <objbase.h>

#include <cstddef>
#include <type_traits>

using ASIOError = long;
using ASIOBool = long;
using ASIOSampleType = long;
using ASIOSampleRate = double;

inline constexpr ASIOBool ASIOFalse = 0;
inline constexpr ASIOBool ASIOTrue = 1;

inline constexpr ASIOError ASE_OK = 0;
inline constexpr ASIOError ASE_SUCCESS = 0x3f4847a0;
inline constexpr ASIOError ASE_NotPresent = -1000;
inline constexpr ASIOError ASE_HWMalfunction = -999;
inline constexpr ASIOError ASE_InvalidParameter = -998;
inline constexpr ASIOError ASE_InvalidMode = -997;
inline constexpr ASIOError ASE_SPNotAdvancing = -996;
inline constexpr ASIOError ASE_NoClock = -995;
inline constexpr ASIOError ASE_NoMemory = -994;

// 64-bit counters as two 32-bit halves, high half first.
struct ASIOSamples {
  unsigned long hi;
  unsigned long lo;
};
using ASIOTimeStamp = ASIOSamples;

struct ASIODriverInfo {
  long asioVersion;
  long driverVersion;
  char name[32];
  char errorMessage[124];
  void* sysRef;
};

struct ASIOClockSource {
  long index;
  long associatedChannel;
  long associatedGroup;
  ASIOBool isCurrentSource;
  char name[32];
};

struct ASIOChannelInfo {
  long channel;
  ASIOBool isInput;
  ASIOBool isActive;
  long channelGroup;
  ASIOSampleType type;
  char name[32];
};

struct ASIOBufferInfo {
  ASIOBool isInput;
  long channelNum;
  void* buffers[2];
};

struct ASIOTimeCode {
  double speed;
  ASIOSamples timeCodeSamples;
  unsigned long flags;
  char future[64];
};

struct AsioTimeInfo {
  double speed;
  ASIOTimeStamp systemTime;
  ASIOSamples samplePosition;
  ASIOSampleRate sampleRate;
  unsigned long flags;
  char reserved[12];
};

inline constexpr unsigned long kSystemTimeValid = 1;
inline constexpr unsigned long kSamplePositionValid = 2;

struct ASIOTime {
  long reserved[4];
  AsioTimeInfo timeInfo;
  ASIOTimeCode timeCode;
};

// Host callbacks: plain C functions, the compiler's default convention.
struct ASIOCallbacks {
  void (*bufferSwitch)(long doubleBufferIndex, ASIOBool directProcess);
  void (*sampleRateDidChange)(ASIOSampleRate rate);
  long (*asioMessage)(long selector, long value, void* message, double* opt);
  ASIOTime* (*bufferSwitchTimeInfo)(ASIOTime* params, long doubleBufferIndex, ASIOBool directProcess);
};

// Drivers are built with a compiler whose member functions use thiscall on
// 32-bit x86 (the object in ECX, the callee pops the arguments). Saying so
// explicitly keeps us independent of this compiler's default; on 64-bit
// there is only one convention.
#if defined(__i386__)
#define ASIO_METHOD __attribute__((thiscall))
#else
#define ASIO_METHOD
#endif

struct IASIO : public IUnknown {
  virtual ASIOBool ASIO_METHOD init(void* sysHandle) = 0;
  virtual void ASIO_METHOD getDriverName(char* name) = 0;
  virtual long ASIO_METHOD getDriverVersion() = 0;
  virtual void ASIO_METHOD getErrorMessage(char* text) = 0;
  virtual ASIOError ASIO_METHOD start() = 0;
  virtual ASIOError ASIO_METHOD stop() = 0;
  virtual ASIOError ASIO_METHOD getChannels(long* numInputChannels, long* numOutputChannels) = 0;
  virtual ASIOError ASIO_METHOD getLatencies(long* inputLatency, long* outputLatency) = 0;
  virtual ASIOError ASIO_METHOD getBufferSize(long* minSize, long* maxSize, long* preferredSize, long* granularity) = 0;
  virtual ASIOError ASIO_METHOD canSampleRate(ASIOSampleRate sampleRate) = 0;
  virtual ASIOError ASIO_METHOD getSampleRate(ASIOSampleRate* sampleRate) = 0;
  virtual ASIOError ASIO_METHOD setSampleRate(ASIOSampleRate sampleRate) = 0;
  virtual ASIOError ASIO_METHOD getClockSources(ASIOClockSource* clocks, long* numSources) = 0;
  virtual ASIOError ASIO_METHOD setClockSource(long reference) = 0;
  virtual ASIOError ASIO_METHOD getSamplePosition(ASIOSamples* position, ASIOTimeStamp* stamp) = 0;
  virtual ASIOError ASIO_METHOD getChannelInfo(ASIOChannelInfo* info) = 0;
  virtual ASIOError ASIO_METHOD createBuffers(ASIOBufferInfo* bufferInfos, long numChannels, long bufferSize,
                                              ASIOCallbacks* callbacks) = 0;
  virtual ASIOError ASIO_METHOD disposeBuffers() = 0;
  virtual ASIOError ASIO_METHOD controlPanel() = 0;
  virtual ASIOError ASIO_METHOD future(long selector, void* opt) = 0;
  virtual ASIOError ASIO_METHOD outputReady() = 0;
};

// The layouts drivers were compiled against.
static_assert(sizeof(long) == 4, "ASIO's long is 32 bits on Windows");
static_assert(sizeof(ASIODriverInfo) == 8 + 32 + 124 + sizeof(void*) + (sizeof(void*) == 8 ? 4 : 0));
static_assert(offsetof(ASIODriverInfo, sysRef) == 164 + (sizeof(void*) == 8 ? 4 : 0));
static_assert(sizeof(ASIOChannelInfo) == 52);
static_assert(sizeof(ASIOBufferInfo) == 8 + 2 * sizeof(void*));
static_assert(offsetof(ASIOBufferInfo, buffers) == 8);
static_assert(offsetof(AsioTimeInfo, flags) == 32 && sizeof(AsioTimeInfo) == 48);
static_assert(sizeof(ASIOTime) == 16 + 48 + 88 && offsetof(ASIOTime, timeInfo) == 16);
static_assert(sizeof(ASIOCallbacks) == 4 * sizeof(void*));
#if defined(__i386__)
// The convention is part of the member function's type: a declaration that
// lost it would no longer match these.
static_assert(std::is_same_v<decltype(&IASIO::init), ASIOBool (__attribute__((thiscall)) IASIO::*)(void*)>);
static_assert(!std::is_same_v<decltype(&IASIO::init), ASIOBool (__attribute__((stdcall)) IASIO::*)(void*)>);
static_assert(std::is_same_v<decltype(&IASIO::createBuffers), ASIOError (__attribute__((thiscall)) IASIO::*)(
                                                                  ASIOBufferInfo*, long, long, ASIOCallbacks*)>);
#endif
