#pragma once

// The step-by-step log "Korvanta3rUzevoBench.log" in the current directory.
// Every write opens, appends and closes the file, so a line survives a crash
// of the next step. Only a text's final line feed is written as CR LF; no
// time stamps or prefixes are added. Never called from a measuring loop or
// from the AudioThread.
namespace DebugLog {

inline constexpr const char* kFileName = "Korvanta3rUzevoBench.log";

void Write(const char* text);
// printf-style; the text is formatted in full, however long.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void Writef(const char* format, ...);
void Delete();

}  // namespace DebugLog

// The same operations on a file of the caller's choosing.
void AppendTextToFile(const char* fileName, const char* text);
void DeleteNamedFile(const char* fileName);
