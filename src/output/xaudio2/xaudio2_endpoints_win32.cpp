#include "output/xaudio2/xaudio2_endpoints_win32.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <propidl.h>

#include "output/dsound/com_release.h"

namespace {

// Declared here rather than taken from an import library.
constexpr CLSID kDeviceEnumeratorClass = {
    0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
constexpr IID kDeviceEnumeratorInterface = {
    0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
constexpr PROPERTYKEY kFriendlyName = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};

struct EndpointComScope {
  HRESULT status = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  ~EndpointComScope() {
    if (SUCCEEDED(status)) CoUninitialize();
  }
};

IMMDeviceEnumerator* CreateEndpointEnumerator() {
  void* object = nullptr;
  if (FAILED(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumeratorInterface, &object)))
    return nullptr;
  return static_cast<IMMDeviceEnumerator*>(object);
}

std::string EndpointText(const wchar_t* text) {
  if (text == nullptr) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

bool DescribeEndpoint(IMMDevice* device, AudioEndpoint& endpoint) {
  wchar_t* id = nullptr;
  if (FAILED(device->GetId(&id)) || id == nullptr) return false;
  endpoint.id = id;
  CoTaskMemFree(id);
  IPropertyStore* properties = nullptr;
  if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &properties))) {
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(properties->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR) {
      endpoint.name = EndpointText(value.pwszVal);
    }
    PropVariantClear(&value);
    properties->Release();
  }
  if (endpoint.name.empty()) endpoint.name = EndpointText(endpoint.id.c_str());
  return true;
}

}  // namespace

bool HasDefaultAudioEndpoint() {
  EndpointComScope com;
  IMMDeviceEnumerator* enumerator = CreateEndpointEnumerator();
  if (enumerator == nullptr) return false;
  IMMDevice* device = nullptr;
  const bool found = SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device)) && device != nullptr;
  ReleaseInterface(device);
  enumerator->Release();
  return found;
}

std::vector<AudioEndpoint> ListAudioEndpoints() {
  std::vector<AudioEndpoint> endpoints;
  EndpointComScope com;
  IMMDeviceEnumerator* enumerator = CreateEndpointEnumerator();
  if (enumerator == nullptr) return endpoints;
  IMMDeviceCollection* collection = nullptr;
  UINT count = 0;
  if (SUCCEEDED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &collection)) &&
      SUCCEEDED(collection->GetCount(&count))) {
    for (UINT i = 0; i < count; ++i) {
      IMMDevice* device = nullptr;
      AudioEndpoint endpoint;
      if (SUCCEEDED(collection->Item(i, &device)) && DescribeEndpoint(device, endpoint)) endpoints.push_back(endpoint);
      ReleaseInterface(device);
    }
  }
  ReleaseInterface(collection);
  enumerator->Release();
  return endpoints;
}
