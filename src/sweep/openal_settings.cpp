#include "sweep/openal_settings.h"

#include <algorithm>
#include <charconv>

#include "output/openal/openal_output_factory.h"
#include "platform/dynamic_library.h"
#include "platform/files.h"

namespace sweep {

namespace {

enum class Kind { Choice, Boolean, Whole, Decimal };

struct KnownSetting {
  const char* key;
  Kind kind;
  std::vector<const char*> choices;  // for Kind::Choice, newer releases' too
};

// The settings that shape the mixing's cost; the library file decides which
// of them (and which choices) the loaded release has.
const std::vector<KnownSetting>& KnownSettings() {
  static const std::vector<KnownSetting> known = {
      {"hrtf", Kind::Choice, {"auto", "true", "false"}},
      {"hrtf-mode", Kind::Choice, {"full", "ambi1", "ambi2", "ambi3", "basic"}},
      {"hrtf-size", Kind::Whole, {}},
      {"default-hrtf", Kind::Choice, {}},
      {"resampler",
       Kind::Choice,
       {"point", "linear", "cubic", "bsinc12", "bsinc24", "fast_bsinc12", "fast_bsinc24", "spline", "gaussian"}},
      {"channels",
       Kind::Choice,
       {"mono", "stereo", "quad", "surround51", "surround61", "surround71", "surround714", "ambi1", "ambi2", "ambi3"}},
      {"sample-type", Kind::Choice, {"int8", "uint8", "int16", "uint16", "int32", "uint32", "float32"}},
      {"stereo-mode", Kind::Choice, {"auto", "speakers", "headphones"}},
      {"stereo-encoding", Kind::Choice, {"basic", "panpot", "uhj", "hrtf"}},
      {"ambi-format", Kind::Choice, {"fuma", "acn+sn3d", "acn+n3d", "ambix"}},
      {"frequency", Kind::Whole, {}},
      {"period_size", Kind::Whole, {}},
      {"periods", Kind::Whole, {}},
      {"sources", Kind::Whole, {}},
      {"slots", Kind::Whole, {}},
      {"sends", Kind::Whole, {}},
      {"cf_level", Kind::Whole, {}},
      {"dither", Kind::Boolean, {}},
      {"dither-depth", Kind::Whole, {}},
      {"output-limiter", Kind::Boolean, {}},
      {"front-stablizer", Kind::Boolean, {}},
      {"volume-adjust", Kind::Decimal, {}},
      {"decoder/hq-mode", Kind::Boolean, {}},
      {"decoder/distance-comp", Kind::Boolean, {}},
      {"decoder/nfc", Kind::Boolean, {}},
      {"reverb/boost", Kind::Decimal, {}},
  };
  return known;
}

bool InLibrary(std::string_view word, std::string_view library) {
  if (library.empty()) return true;
  return library.find(std::string(word) + '\0') != std::string_view::npos;
}

// A section's key is a string of its own in the library: "hq-mode".
std::string_view NameInLibrary(std::string_view key) { return key.substr(key.find('/') + 1); }

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

bool IsWhole(std::string_view value) {
  return !value.empty() && value.size() < 10 && value.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsDecimal(std::string_view value) {
  double number = 0;
  const auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
  return !value.empty() && parsed.ec == std::errc() && parsed.ptr == value.data() + value.size();
}

}  // namespace

std::string SettingRefusal(std::string_view key, std::string_view value, std::string_view library) {
  const auto& known = KnownSettings();
  const auto setting = std::find_if(known.begin(), known.end(), [&](const KnownSetting& s) {
    return key == s.key && InLibrary(NameInLibrary(s.key), library);
  });
  if (setting == known.end()) {
    std::vector<std::string> keys;
    for (const KnownSetting& s : known) {
      if (InLibrary(NameInLibrary(s.key), library)) keys.push_back(s.key);
    }
    return "\"" + std::string(key) + "\" is not a setting the OpenAL Soft loaded here takes; it takes " + Joined(keys);
  }
  const std::string prefix = std::string(key) + ": \"" + std::string(value) + "\" ";
  switch (setting->kind) {
    case Kind::Choice: {
      // A data set's name is the user's own: any text without a line break.
      if (setting->choices.empty()) {
        return value.empty() || value.find_first_of("#\r\n") != std::string_view::npos ? prefix + "is not a name"
                                                                                       : std::string();
      }
      std::vector<std::string> offered;
      for (const char* choice : setting->choices) {
        if (!InLibrary(choice, library)) continue;
        if (value == choice) return {};
        offered.push_back(choice);
      }
      return prefix + "is not one of " + Joined(offered);
    }
    case Kind::Boolean:
      return value == "true" || value == "false" ? std::string() : prefix + "is not true or false";
    case Kind::Whole:
      return IsWhole(value) ? std::string() : prefix + "is not a whole number";
    case Kind::Decimal:
      return IsDecimal(value) ? std::string() : prefix + "is not a number";
  }
  return {};
}

std::string LoadedOpenALLibraryBytes() {
  platform::LibraryHandle library = platform::LoadDynamicLibrary(OpenALLibraryFileName());
  std::string path;
  const bool found = platform::LibraryFilePath(library, path);
  platform::FreeDynamicLibrary(library);
  std::string bytes;
  if (!found || !platform::ReadWholeFile(path.c_str(), bytes)) return {};
  return bytes;
}

std::string SettingText(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    escaped += c;
    if (c == '$') escaped += '$';
  }
  return escaped;
}

}  // namespace sweep
