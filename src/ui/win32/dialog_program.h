#pragma once
#include "platform/types.h"

// What the dialog program's start-up needs from the system's window
// services, kept here so the start-up itself stays free of them.

// Registers every common control class (the device tree among them).
void RegisterCommonControlClasses();
// Shows the main dialog modally and returns when it has closed.
void ShowMainDialog(platform::InstanceHandle instance);
