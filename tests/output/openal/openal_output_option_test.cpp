// `--openal-output` reaches OpenAL Soft through ALSOFT_DRIVERS, before and
// after a subcommand alike; wave also through a settings file of its own.
#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/openal_driver_option.h"
#include "app/openal_output_names.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace {

std::string Variable(const char* name) {
  std::string value;
  platform::GetEnvironmentText(name, value);
  return value;
}

// Parses as kv3r does and applies the choice; what it said goes to `out`.
void Parse(std::vector<std::string> arguments, OpenALOutputOption& option, std::ostream& out) {
  CLI::App app{"test", "kv3r"};
  AddOpenALOutputOption(app, option);
  app.add_subcommand("devices", "");
  std::reverse(arguments.begin(), arguments.end());
  app.parse(arguments);
  std::ostringstream err;
  EXPECT_TRUE(ApplyOpenALOutputOption(option, out, err)) << err.str();
}

}  // namespace

TEST(OpenALOutputOption, SetsTheDriversWhereverItIsGiven) {
  platform::SetEnvironmentText("ALSOFT_DRIVERS", "pulse");
  OpenALOutputOption option;
  std::ostringstream out;
  Parse({"--openal-output", "null", "devices"}, option, out);
  EXPECT_EQ(Variable("ALSOFT_DRIVERS"), "null");
  const std::string native = OpenALOutputNames().front();  // a system's own, e.g. pipewire or wasapi
  Parse({"devices", "--openal-output", native}, option, out);
  EXPECT_EQ(Variable("ALSOFT_DRIVERS"), native);
  EXPECT_EQ(out.str(), "");
}

TEST(OpenALOutputOption, LeftOutKeepsTheUsersSetting) {
  platform::SetEnvironmentText("ALSOFT_DRIVERS", "alsa");
  OpenALOutputOption option;
  CLI::App app{"test", "kv3r"};
  AddOpenALOutputOption(app, option);
  app.add_subcommand("devices", "");
  EXPECT_NE(app.help().find("null"), std::string::npos);
  app.parse(std::vector<std::string>{"devices"});
  EXPECT_EQ(app.get_option("--openal-output")->count(), 0u);
  std::ostringstream out, err;
  EXPECT_TRUE(ApplyOpenALOutputOption(option, out, err));
  EXPECT_EQ(Variable("ALSOFT_DRIVERS"), "alsa");
}

TEST(OpenALOutputOption, AnUnknownOutputIsRefusedWithTheOffer) {
  for (const char* given : {"bogus", "null:x", "Wave", "wave:", "wave:take #1.wav", "wave: a.wav"}) {
    OpenALOutputOption option;
    try {
      std::ostringstream out;
      Parse({"--openal-output", given, "devices"}, option, out);
      ADD_FAILURE() << given << " was taken";
    } catch (const CLI::ValidationError& e) {
      const std::string text = e.what();
      EXPECT_EQ(text.rfind("--openal-output: ", 0), 0u) << text;
      if (std::string(given).rfind("wave", 0) != 0) {
        EXPECT_NE(text.find("null, wave"), std::string::npos) << text;
      }
    }
  }
}

// The file's name reaches OpenAL Soft through a settings file that keeps the
// user's own settings in front and lives only as long as the choice.
TEST(OpenALOutputOption, WaveWritesItsOwnSettingsFile) {
  const char* const user = "kv3r-user-alsoft.conf";
  const std::string userSettings = "[general]\nfrequency = 22050\n";
  ASSERT_TRUE(platform::WriteWholeFile(user, userSettings.data(), userSettings.size(), false));
  platform::SetEnvironmentText("ALSOFT_CONF", user);
  std::string config;
  {
    OpenALOutputOption option;
    std::ostringstream out;
    Parse({"devices", "--openal-output", "wave:take $1.wav"}, option, out);
    EXPECT_EQ(out.str(), "OpenAL Soft's wave output writes to take $1.wav\n");
    EXPECT_EQ(Variable("ALSOFT_DRIVERS"), "wave");
    config = Variable("ALSOFT_CONF");
    EXPECT_EQ(config, option.configFile);
    std::string settings;
    ASSERT_TRUE(platform::ReadWholeFile(config.c_str(), settings));
    EXPECT_EQ(settings, userSettings + "\n[wave]\nfile = take $$1.wav\n");

    std::ostringstream defaultOut;
    Parse({"--openal-output", "wave", "devices"}, option, defaultOut);
    EXPECT_EQ(defaultOut.str(), "OpenAL Soft's wave output writes to kv3r-openal.wav\n");
    EXPECT_FALSE(platform::FileExists(config.c_str())) << "a second choice replaces the first file";
    config = option.configFile;
  }
  EXPECT_FALSE(platform::FileExists(config.c_str()));
  platform::DeleteFileNamed(user);
}

// The offer is what the loaded library was built with: a name stands in its
// file as a whole string, and a longer name holding it does not count.
TEST(OpenALOutputOption, TheOfferIsWhatTheLoadedLibraryHas) {
  const char* const candidates[] = {"pipewire", "pulse", "oss", "null", "wave"};
  const char bytes[] = "\0pulseaudio\0\0null\0lib\0oss\0pulse\0wave\0";
  const std::string library(bytes, sizeof bytes - 1);
  const std::vector<const char*> found = OutputNamesIn(library, candidates);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_STREQ(found[0], "pulse");  // in the order the library tries them
  EXPECT_STREQ(found[1], "oss");

  const auto loaded = OpenALOutputNames();
  const auto all = OpenALCandidateOutputNames();
  for (const char* name : loaded) EXPECT_NE(std::find(all.begin(), all.end(), std::string(name)), all.end()) << name;
  EXPECT_NE(std::find(loaded.begin(), loaded.end(), std::string("null")), loaded.end());
}
