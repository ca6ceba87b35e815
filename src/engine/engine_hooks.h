#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

// What a run does outside the process besides measuring: beeps, message
// boxes and the analyzer's start. Every reading of time and processor time
// goes through MeasurementSources instead; tests replace these to see the
// effects without waiting or opening anything.
struct EngineHooks {
  void (*beep)(uint32_t frequencyHz, uint32_t milliseconds);
  void (*showMessage)(platform::WindowHandle parent, const char* text, const char* title);
  // False when it could not be started.
  bool (*startProgram)(platform::WindowHandle parent, const std::string& program, const std::string& argument);
  // Called last when the engine goes; null (the console) means nothing.
  void (*postQuit)() = nullptr;

  static EngineHooks Real();
};
