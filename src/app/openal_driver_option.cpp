#include "app/openal_driver_option.h"

#include <string>

#include "platform/environment.h"

namespace {

std::string chosenOutput;

}  // namespace

void AddOpenALOutputOption(CLI::App& app) {
  chosenOutput.clear();
  // Subcommands added afterwards hand options they do not know to this app.
  app.fallthrough();
  app.add_option("--openal-output", chosenOutput,
                 "OpenAL Soft's output, picked before the library loads by setting ALSOFT_DRIVERS: "
                 "null, wave, alsa, pulse, ... Use null on a machine with no sound device (it still "
                 "mixes every source, in real time, into nothing); leave the option out on a desktop "
                 "with sound")
      ->option_text("NAME");
}

void ApplyOpenALOutputOption() {
  if (!chosenOutput.empty()) platform::SetEnvironmentText("ALSOFT_DRIVERS", chosenOutput.c_str());
}
