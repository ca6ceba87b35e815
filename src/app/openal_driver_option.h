#pragma once
#include <CLI/CLI.hpp>

// `--openal-output NAME`: which output OpenAL Soft mixes to. It must be
// chosen before the library loads, so the choice travels in ALSOFT_DRIVERS.
// Add it to the top-level app before its subcommands are added: they then
// accept it too.
void AddOpenALOutputOption(CLI::App& app);

// Sets ALSOFT_DRIVERS when the option was given; call it before the engine
// (and with it the OpenAL back end) is constructed.
void ApplyOpenALOutputOption();
