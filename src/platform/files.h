#pragma once
#include <cstddef>
#include <string>

namespace platform {

// Appends bytes to a file opened for writing only with read sharing: an
// existing file is opened, a missing one created. Each piece is one write.
// False when the file could not be opened (held locked, a directory, ...).
bool AppendPiecesToFile(const char* fileName, const char* const* pieces, const size_t* sizes, size_t pieceCount);

bool DeleteFileNamed(const char* fileName);
bool FileExists(const char* fileName);
bool ReadWholeFile(const char* fileName, std::string& content);

// Writes `size` bytes, replacing any file; `hidden` sets the hidden attribute
// on Windows (ignored elsewhere). False on any failure, leaving no partial file.
bool WriteWholeFile(const char* fileName, const void* data, size_t size, bool hidden);

// `text` as a file opened in text mode holds it: lines end in CR LF on
// Windows, as they stand elsewhere.
std::string TextFileBytes(const std::string& text);

enum class PathKind { Missing, RegularFile, Directory, Other };
PathKind KindOfPath(const char* path);

// Creates `fileName`, which must not exist yet, and writes `size` bytes,
// checking every write, the flush to the disk and the close. False with the
// system's reason in `error`; a file it created is removed again.
bool WriteNewFile(const char* fileName, const void* data, size_t size, std::string& error);

// `reason` (the system's, for a file that could not be made in `directory`;
// empty: the current one) with the folder's file system named where the
// reason alone misleads: the kernel's virtual file systems (/proc, /sys)
// answer "No such file or directory" or "Permission denied" for a folder
// that plainly exists, and a read-only mount may answer "Permission denied".
std::string CreationFailureReason(const char* directory, const std::string& reason);

// Renames `from` to `to` only when nothing is called `to`. False with the
// system's reason in `error`; `targetTaken` tells that `to` already existed.
bool RenameWithoutReplacing(const char* from, const char* to, bool& targetTaken, std::string& error);

}  // namespace platform
