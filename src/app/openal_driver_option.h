#pragma once
#include <ostream>
#include <string>

// The command-line parser is heavy to compile: only the files that add
// options include it.
namespace CLI {
class App;
class Validator;
}  // namespace CLI

// `--openal-output NAME`: which output OpenAL Soft mixes to. It must be
// chosen before the library loads, so the choice travels in ALSOFT_DRIVERS.
// `wave[:FILE]` also needs the file's name, which OpenAL Soft reads only from
// a settings file: one is written for this run and named in ALSOFT_CONF.
struct OpenALOutputOption {
  std::string name;        // as given, "wave:FILE" included; empty when left out
  std::string configFile;  // the settings file written for wave; deleted with the object

  OpenALOutputOption() = default;
  OpenALOutputOption(const OpenALOutputOption&) = delete;
  OpenALOutputOption& operator=(const OpenALOutputOption&) = delete;
  ~OpenALOutputOption();
};

// Adds the option to the top-level app; add it before the subcommands, which
// then accept it too. A name OpenAL Soft does not offer is a parse error
// that lists the names it does.
void AddOpenALOutputOption(CLI::App& app, OpenALOutputOption& option);

// The outputs the OpenAL Soft loaded here offers, "null, wave, ...".
std::string OpenALOutputList();

// "" when OpenAL Soft offers the output `given` (wave:FILE included);
// else the reason, naming the outputs it offers.
std::string OpenALOutputRefusal(const std::string& given);

// Sets ALSOFT_DRIVERS (and for wave ALSOFT_CONF) when the option was given,
// saying on `out` where the wave output writes. Call it before the engine
// (and with it the OpenAL back end) is constructed. False, with the reason
// on `err`, when the wave output's settings file could not be written.
bool ApplyOpenALOutputOption(OpenALOutputOption& option, std::ostream& out, std::ostream& err);

// The sound server behind OpenAL Soft's pulse output, as it names itself,
// when `backEnd` is OpenAL and pulse is asked first or nothing is asked
// (OpenAL Soft then picks, pulse early); "" otherwise or without answer.
std::string PulseServerBehind(const char* backEnd);

// Said after "No audio back end found a device".
const char* NoDeviceHint();
