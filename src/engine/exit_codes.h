#pragma once

// Exit codes of kv3r, which scripts and a sweep's parent read.
inline constexpr int kExitMeasuredAndSaved = 0;
inline constexpr int kExitNothingSaved = 1;  // nothing measured, or not saved
inline constexpr int kExitUsage = 2;
// Saved, but the machine was saturated: the figures show no cost at all.
inline constexpr int kExitMachineSaturated = 3;
// Ended by Ctrl-C (SIGINT) or SIGTERM.
inline constexpr int kExitInterrupted = 130;
inline constexpr int kExitTerminated = 143;
