#include "platform/environment.h"

#include <objbase.h>
#include <windows.h>

#include <cstdlib>

namespace marrowel::platform {

bool fileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> logDirectory() { return environmentVariable("TMP"); }

const char* hostExecutableName() { return "Marrowel.exe"; }

const char* addInLibraryName() { return "QuillboxAddIn.dll"; }

void initialiseCom() { (void)CoInitialize(nullptr); }

}  // namespace marrowel::platform
