#include "output/openal/openal_device_list.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "platform/notify.h"

namespace {

constexpr int kMaxProbedSources = 1024;
// A device that gives this many sources or more mixes in software.
constexpr int kSoftwareSourceCount = 256;

void AddRecord(OpenALLibrary& library, const char* name) {
  if (library.deviceCount >= kMaxOpenALDevices) return;
  OpenALDeviceInfo& record = library.devices[library.deviceCount++];
  std::snprintf(record.name, sizeof(record.name), "%s", name);
}

// The library's boolean, widened with its sign.
int32_t Extension(const OpenALFunctions& al, const char* name) {
  return static_cast<signed char>(al.alIsExtensionPresent(name));
}

int32_t ExtensionEitherSpelling(const OpenALFunctions& al, const char* name, const char* spaced) {
  const int32_t present = Extension(al, name);
  return present != 0 ? present : Extension(al, spaced);
}

void ReadExtensions(const OpenALFunctions& al, OpenALDeviceInfo& record) {
  record.eax10 = Extension(al, "EAX");
  record.eax20 = ExtensionEitherSpelling(al, "EAX2.0", "EAX 2.0");
  record.eax30 = ExtensionEitherSpelling(al, "EAX3.0", "EAX 3.0");
  record.eax40 = ExtensionEitherSpelling(al, "EAX4.0", "EAX 4.0");
  record.eax50 = ExtensionEitherSpelling(al, "EAX5.0", "EAX 5.0");
  record.xram = Extension(al, "EAX-RAM");
  if (record.xram != 0) {
    record.xramSize = al.alGetInteger(al.alGetEnumValue("AL_EAX_RAM_SIZE"));
    record.xramFree = al.alGetInteger(al.alGetEnumValue("AL_EAX_RAM_FREE"));
  }
}

void CountSources(const OpenALFunctions& al, ALCdevice* device, ALuint buffer, OpenALDeviceInfo& record) {
  const std::array<uint8_t, 128> silence{};
  al.alBufferData(buffer, AL_FORMAT_MONO16, silence.data(), static_cast<ALsizei>(silence.size()), 44100);
  std::array<ALuint, kMaxProbedSources> ids{};
  for (ALuint& id : ids) {
    al.alGenSources(1, &id);
    al.alSourcei(id, AL_BUFFER, static_cast<ALint>(buffer));
    if (al.alcGetError(device) != ALC_NO_ERROR || id == 0) break;
    ++record.hw2DSources;
    ++record.hw3DSources;
  }
  if (record.hw2DSources >= kSoftwareSourceCount) record.hw2DSources = 0;
  if (record.hw3DSources >= kSoftwareSourceCount) record.hw3DSources = 0;
  for (ALuint& id : ids) al.alDeleteSources(1, &id);
  al.alDeleteBuffers(1, &buffer);
}

ALCdevice* OpenRecordDevice(const OpenALFunctions& al, const OpenALDeviceInfo& record) {
  return al.alcOpenDevice(IsDefaultDeviceName(record.name) ? nullptr : record.name);
}

}  // namespace

void ListOpenALDevices(OpenALLibrary& library) {
  const OpenALFunctions& al = library.al;
  const char* defaultName = al.alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
  const char* list = al.alcGetString(nullptr, ALC_DEVICE_SPECIFIER);
  if (defaultName == nullptr) {
    AddRecord(library, kDefaultDeviceName);
    platform::ShowMessageBox(nullptr, "update your drivers, please", "Warning", platform::MessageIcon::Warning);
    return;
  }
  AddRecord(library, defaultName);
  if (al.alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT") != 1 || list == nullptr) return;
  for (int walked = 0; walked < kMaxOpenALDevices && *list != '\0'; ++walked) {
    if (std::strcmp(list, defaultName) != 0) AddRecord(library, list);
    list += std::strlen(list) + 1;
  }
}

bool ProbeOpenALDevices(OpenALLibrary& library, ALCdevice*& device, ALCcontext*& context) {
  const OpenALFunctions& al = library.al;
  for (int d = 0; d < library.deviceCount; ++d) {
    OpenALDeviceInfo& record = library.devices[d];
    device = OpenRecordDevice(al, record);
    if (device == nullptr) return false;
    context = al.alcCreateContext(device, nullptr);
    al.alcMakeContextCurrent(context);
    al.alGetError();
    al.alcGetError(device);

    record.tellsDisconnect = al.alcIsExtensionPresent(device, "ALC_EXT_disconnect") == 1;
    if (al.alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT") == 1) {
      // OpenAL Soft's name for the device its jack output opens.
      const ALCchar* opened = al.alcGetString(device, ALC_ALL_DEVICES_SPECIFIER);
      record.throughJack = opened != nullptr && std::strcmp(opened, "JACK Default") == 0;
    }

    ALuint buffer = 0;
    al.alGenBuffers(1, &buffer);
    // Without a buffer this device and all later ones keep zero counts and flags.
    const bool noBuffer = al.alcGetError(device) != ALC_NO_ERROR;
    if (!noBuffer) {
      CountSources(al, device, buffer, record);
      if (record.hw3DSources != 0) ReadExtensions(al, record);
    }
    al.alcMakeContextCurrent(nullptr);
    al.alcDestroyContext(context);
    al.alcCloseDevice(device);
    device = nullptr;
    context = nullptr;
    if (noBuffer) break;
  }
  return true;
}
