#pragma once
#include <string>
#include <string_view>

// "<name>.<process id>.tmp": the name a file is written under beside its
// final name, unique to this process.
std::string TemporaryFileName(const std::string& name);

// What became of a save: the path of the new file, or the path that could
// not be written with the system's reason.
struct SavedResultsFile {
  bool saved = false;
  std::string path;
  std::string reason;  // empty when saved
};

// Saves the finished `bytes` as `directory + fileName` (`directory` is ""
// or ends in a separator) so that no reader ever sees half a file and no
// earlier file is replaced: written in full to TemporaryFileName beside it,
// then renamed without replacing. When the name is taken, "-2", "-3", ...
// up to "-999" go before ".xml". The temporary file is removed on failure.
SavedResultsFile SaveResultsFile(std::string_view bytes, const std::string& directory, const std::string& fileName);
