#include "platform/environment.h"

#include <sys/stat.h>

#include <cstdlib>

namespace marrowel::platform {

bool fileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::optional<std::string> logDirectory() {
  for (const char* name : {"TMP", "TMPDIR"}) {
    if (auto value = environmentVariable(name)) return value;
  }
  return std::string("/tmp");
}

const char* hostExecutableName() { return "Marrowel"; }

const char* addInLibraryName() { return "QuillboxAddIn.so"; }

void initialiseCom() {}

}  // namespace marrowel::platform
