#pragma once
// Process environment and the host's fixed file names on this OS.

#include <optional>
#include <string>

namespace marrowel::platform {

// The variable's value (possibly empty) when it is set.
std::optional<std::string> environmentVariable(const char* name);

// Whether a file exists at `path`.
bool fileExists(const std::string& path);

// The directory for the optional log file, when one can be named.
std::optional<std::string> logDirectory();

// The host executable's file name ("Marrowel.exe" on Windows, "Marrowel" on POSIX).
const char* hostExecutableName();

// The add-in library's file name ("QuillboxAddIn.dll" on Windows,
// "QuillboxAddIn.so" elsewhere); it lies beside the host executable.
const char* addInLibraryName();

// Initialises COM on the calling thread as a single-threaded apartment where
// the OS has COM; the result is not examined.
void initialiseCom();

}  // namespace marrowel::platform
