#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/types.h"

// What a run does outside the process besides measuring: beeps, message
// boxes and the analyzer's start. Every reading of time and processor time
// goes through MeasurementSources instead; tests replace these to see the
// effects without waiting or opening anything. Each hook carries its own
// context, so a front end or a test keeps what it records in its own object.
struct EngineHooks {
  std::function<void(uint32_t frequencyHz, uint32_t milliseconds)> beep;
  std::function<void(platform::WindowHandle parent, const char* text, const char* title)> showMessage;
  // False when it could not be started.
  std::function<bool(platform::WindowHandle parent, const std::string& program, const std::string& argument)>
      startProgram;
  // Called last when the engine goes; empty (the console) means nothing.
  std::function<void()> postQuit;

  static EngineHooks Real();
};
