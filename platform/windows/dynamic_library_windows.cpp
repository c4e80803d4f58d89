#include <windows.h>

#include "platform/dynamic_library.h"

namespace marrowel::platform {

LibraryHandle loadLibrary(const std::u16string& path) {
  return reinterpret_cast<LibraryHandle>(
      LoadLibraryW(reinterpret_cast<const wchar_t*>(path.c_str())));
}

SymbolAddress findSymbol(LibraryHandle library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<SymbolAddress>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void freeLibrary(LibraryHandle library) {
  if (library != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace marrowel::platform
