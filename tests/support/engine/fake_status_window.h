#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "engine/status_window.h"

// A status display that records what it was asked to show; Create can be
// made to fail.
class FakeStatusWindow : public StatusWindow {
 public:
  bool Create(platform::WindowHandle, platform::InstanceHandle, const char* title) override {
    calls.push_back(std::string("Create ") + title);
    return createSucceeds;
  }
  void ShowStatus(const char* text) override { calls.push_back(std::string("Show ") + text); }
  void ShowProgress(const TestProgress&) override {
    if (++progressCalls == stopAtProgress && stopFlag != nullptr) stopFlag->store(true);
  }
  void Destroy(platform::WindowHandle) override { calls.push_back("Destroy"); }

  bool createSucceeds = true;
  std::vector<std::string> calls;
  int progressCalls = 0;
  // Raises `stopFlag` at that progress report, as a user's Ctrl-C would.
  std::atomic<bool>* stopFlag = nullptr;
  int stopAtProgress = 0;
};
