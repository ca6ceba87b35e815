#pragma once
#include "platform/types.h"

// The dialog program's start-up: common controls, the rich-edit library,
// the driver file and a new debug log, then the main dialog until it closes.
class CKV3RUzevoApp {
 public:
  explicit CKV3RUzevoApp(platform::InstanceHandle instance) : instance(instance) {}

  // Returns false: the program ends when the dialog has closed.
  bool InitInstance();

 private:
  platform::InstanceHandle instance;
};
