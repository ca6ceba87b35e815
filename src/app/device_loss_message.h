#pragma once
#include <string>

#include "results/run_record.h"

// What went away, as the user knows it: "The JACK server" for the JACK back
// end and OpenAL Soft's jack output, "The PipeWire server" (or PulseAudio)
// for its pulse output, after the pulse server's `pulseAnswer` when it gave
// one; otherwise "The <backEnd> device". `openalOutput` is ALSOFT_DRIVERS.
std::string LostDeviceSubject(const std::string& backEnd, const std::string& openalOutput,
                              const std::string& pulseAnswer);

// "The JACK server went away before JACK 2D", "... during the empty test",
// "... at the end of OpenAL 2D".
std::string DeviceLossMessage(const std::string& subject, const DeviceLoss& loss);
