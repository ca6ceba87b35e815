#include "engine/engine_hooks.h"

#include "platform/notify.h"
#include "platform/process.h"

EngineHooks EngineHooks::Real() {
  EngineHooks hooks;
  hooks.beep = &platform::Beep;
  hooks.showMessage = [](platform::WindowHandle parent, const char* text, const char* title) {
    platform::ShowMessageBox(parent, text, title, platform::MessageIcon::Error);
  };
  hooks.startProgram = &platform::StartDetached;
  return hooks;
}
