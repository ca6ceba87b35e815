#include "results/results_file.h"

#include "platform/files.h"
#include "platform/process.h"

namespace {

constexpr int kMostFilesOfOneName = 999;

// A second file of the same second gets "-2", then "-3", ... before ".xml".
std::string WithCounter(const std::string& name, int counter) {
  if (counter == 1) return name;
  const size_t dot = name.rfind(".xml");
  return name.substr(0, dot) + "-" + std::to_string(counter) + name.substr(dot);
}

SavedResultsFile Failed(std::string path, std::string reason) { return {false, std::move(path), std::move(reason)}; }

}  // namespace

std::string TemporaryFileName(const std::string& name) {
  return name + "." + std::to_string(platform::CurrentProcessId()) + ".tmp";
}

SavedResultsFile SaveResultsFile(std::string_view bytes, const std::string& directory, const std::string& fileName) {
  const std::string temporary = directory + TemporaryFileName(fileName);
  std::string why;
  if (!platform::WriteNewFile(temporary.c_str(), bytes.data(), bytes.size(), why)) {
    return Failed(directory + fileName, why);
  }
  for (int counter = 1; counter <= kMostFilesOfOneName; ++counter) {
    const std::string path = directory + WithCounter(fileName, counter);
    bool taken = false;
    if (platform::RenameWithoutReplacing(temporary.c_str(), path.c_str(), taken, why)) return {true, path, ""};
    if (!taken) {
      platform::DeleteFileNamed(temporary.c_str());
      return Failed(path, why);
    }
  }
  platform::DeleteFileNamed(temporary.c_str());
  return Failed(directory + fileName, std::to_string(kMostFilesOfOneName) + " files of that name exist");
}
