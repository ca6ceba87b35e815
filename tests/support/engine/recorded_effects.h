#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_hooks.h"

// What a run did outside the process (beeps, message boxes, program
// starts), recorded by the hooks this object hands out instead of done.
struct RecordedEffects {
  struct Beep {
    uint32_t frequency, milliseconds;
  };
  struct Started {
    std::string program, argument;
  };

  std::vector<Beep> beeps;
  std::vector<std::string> messages;  // "<title>: <text>"
  std::vector<Started> started;

  // Hooks that record into this object, which must outlive them. Starting
  // a program always fails, as when the analyzer is not installed.
  EngineHooks Hooks() {
    EngineHooks hooks;
    hooks.beep = [this](uint32_t frequency, uint32_t ms) { beeps.push_back({frequency, ms}); };
    hooks.showMessage = [this](platform::WindowHandle, const char* text, const char* title) {
      messages.push_back(std::string(title) + ": " + text);
    };
    hooks.startProgram = [this](platform::WindowHandle, const std::string& program, const std::string& argument) {
      started.push_back({program, argument});
      return false;
    };
    return hooks;
  }
};
