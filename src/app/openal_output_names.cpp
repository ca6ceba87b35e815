#include "app/openal_output_names.h"

#include <string>

#include "output/openal/openal_output_factory.h"
#include "platform/dynamic_library.h"
#include "platform/files.h"

namespace {

// The library's outputs are a table of their names: a release without an
// output has no such string. Loading it runs no output: they start with
// the first device call, after ALSOFT_DRIVERS is set.
std::vector<const char*> LoadedLibraryOutputs() {
  const auto candidates = OpenALCandidateOutputNames();
  std::vector<const char*> all(candidates.begin(), candidates.end());
  platform::LibraryHandle library = platform::LoadDynamicLibrary(OpenALLibraryFileName());
  std::string path;
  const bool found = platform::LibraryFilePath(library, path);
  platform::FreeDynamicLibrary(library);
  std::string bytes;
  if (!found || !platform::ReadWholeFile(path.c_str(), bytes)) return all;
  std::vector<const char*> names = OutputNamesIn(bytes, candidates);
  return names.empty() ? all : names;
}

}  // namespace

std::vector<const char*> OutputNamesIn(std::string_view library, std::span<const char* const> candidates) {
  std::vector<const char*> names;
  for (const char* candidate : candidates) {
    const std::string whole = std::string(1, '\0') + candidate + '\0';
    if (library.find(whole) != std::string_view::npos) names.push_back(candidate);
  }
  return names;
}

std::span<const char* const> OpenALOutputNames() {
  static const std::vector<const char*> names = LoadedLibraryOutputs();
  return names;
}
