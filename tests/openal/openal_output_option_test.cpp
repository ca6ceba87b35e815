// `--openal-output` reaches OpenAL Soft through ALSOFT_DRIVERS, before and
// after a subcommand alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/openal_driver_option.h"
#include "platform/environment.h"

namespace {

std::string Drivers() {
  const char* value = std::getenv("ALSOFT_DRIVERS");
  return value != nullptr ? value : "";
}

void Parse(std::vector<std::string> arguments) {
  CLI::App app{"test", "kv3r"};
  AddOpenALOutputOption(app);
  app.add_subcommand("devices", "");
  std::reverse(arguments.begin(), arguments.end());
  app.parse(arguments);
  ApplyOpenALOutputOption();
}

}  // namespace

TEST(OpenALOutputOption, SetsTheDriversWhereverItIsGiven) {
  platform::SetEnvironmentText("ALSOFT_DRIVERS", "pulse");
  Parse({"--openal-output", "null", "devices"});
  EXPECT_EQ(Drivers(), "null");
  Parse({"devices", "--openal-output", "wave"});
  EXPECT_EQ(Drivers(), "wave");
}

TEST(OpenALOutputOption, LeftOutKeepsTheUsersSetting) {
  platform::SetEnvironmentText("ALSOFT_DRIVERS", "alsa");
  CLI::App app{"test", "kv3r"};
  AddOpenALOutputOption(app);
  app.add_subcommand("devices", "");
  EXPECT_NE(app.help().find("null"), std::string::npos);
  app.parse(std::vector<std::string>{"devices"});
  EXPECT_EQ(app.get_option("--openal-output")->count(), 0u);
  ApplyOpenALOutputOption();
  EXPECT_EQ(Drivers(), "alsa");
}
