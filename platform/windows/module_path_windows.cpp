#include <windows.h>

#include "platform/environment.h"
#include "platform/module_path.h"

namespace marrowel::platform {

std::u16string hostModulePath() {
  // Null (the process's own image) when the executable goes by another name,
  // as a test program does.
  const HMODULE module = GetModuleHandleA(hostExecutableName());
  std::u16string path(1024, u'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, reinterpret_cast<wchar_t*>(&path[0]),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A result that fills the buffer may have been cut.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace marrowel::platform
