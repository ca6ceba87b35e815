#include "engine/engine_hooks.h"

#include "platform/notify.h"
#include "platform/process.h"

namespace {

void ShowError(platform::WindowHandle parent, const char* text, const char* title) {
  platform::ShowMessageBox(parent, text, title, platform::MessageIcon::Error);
}

}  // namespace

EngineHooks EngineHooks::Real() { return EngineHooks{&platform::Beep, &ShowError, &platform::StartDetached, nullptr}; }
