#include "output/dsound/dsound_api.h"

#include "results/debug_log.h"

DSoundApi LoadDSoundApi() {
  DSoundApi api;
  api.library = platform::LoadDynamicLibrary("dsound.dll");
  if (api.library == nullptr) {
    DebugLog::Write("dsound.dll not found\n");
    return api;
  }
  api.enumerate =
      reinterpret_cast<decltype(api.enumerate)>(platform::FindLibrarySymbol(api.library, "DirectSoundEnumerateA"));
  api.create = reinterpret_cast<decltype(api.create)>(platform::FindLibrarySymbol(api.library, "DirectSoundCreate8"));
  if (api.enumerate == nullptr || api.create == nullptr) {
    DebugLog::Write("dsound.dll lacks DirectSoundEnumerateA or DirectSoundCreate8\n");
    api.enumerate = nullptr;
    api.create = nullptr;
  }
  return api;
}

void UnloadDSoundApi(DSoundApi& api) {
  platform::FreeDynamicLibrary(api.library);
  api = DSoundApi{};
}
