#include "output/jack/jack_library.h"

#include <new>

#include "output/jack/kept_until_exit.h"

namespace {

void Silence(const char*) {}

bool BindEntryPoints(JackFunctions& jack, platform::LibraryHandle module) {
  bool complete = true;
#define KV3R_JACK_BIND(name, type)                                                                    \
  jack.name = reinterpret_cast<std::add_pointer_t<type>>(platform::FindLibrarySymbol(module, #name)); \
  complete = complete && jack.name != nullptr;
  KV3R_JACK_ENTRY_POINTS(KV3R_JACK_BIND)
#undef KV3R_JACK_BIND
  return complete;
}

}  // namespace

JackLibrary* LoadJackLibrary(const char* fileName) {
  auto* library = new (std::nothrow) JackLibrary{};
  if (library == nullptr) return nullptr;
  library->module = platform::LoadDynamicLibrary(fileName);
  if (library->module == nullptr || !BindEntryPoints(library->jack, library->module)) {
    FreeJackLibrary(library);
    return nullptr;
  }
  library->jack.jack_set_error_function(&Silence);
  library->jack.jack_set_info_function(&Silence);
  return library;
}

void FreeJackLibrary(JackLibrary* library) {
  if (library == nullptr) return;
  if (library->module != nullptr) platform::FreeDynamicLibrary(library->module);
  delete library;
}

void KeepJackLibrary(JackLibrary* library) { KeepUntilExit(library); }
