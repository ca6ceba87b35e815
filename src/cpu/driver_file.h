#pragma once
#include "platform/types.h"

// The kernel driver the Windows program carries: written at start-up as a
// hidden "QZCore32.sys" beside the program (the directory of the first
// command-line argument) and deleted at exit. Nothing loads it.
//
// `module` holds the driver resources; null means the program itself.
// False when the resource is missing or the file cannot be written in full;
// start-up goes on either way. Linux has no driver: nothing is written.
bool WriteDriverFile(platform::InstanceHandle module);
// Deletes the file; its result is not looked at. Always true.
bool DeleteDriverFile();
