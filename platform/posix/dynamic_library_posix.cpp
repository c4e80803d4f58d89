#include <dlfcn.h>

#include "platform/dynamic_library.h"
#include "platform/text_codec.h"

namespace marrowel::platform {

LibraryHandle loadLibrary(const std::u16string& path) {
  const std::string utf8 = utf16ToUtf8(path.data(), path.size());
  // RTLD_LOCAL: an add-in's symbols must not resolve another add-in's.
  return static_cast<LibraryHandle>(dlopen(utf8.c_str(), RTLD_NOW | RTLD_LOCAL));
}

SymbolAddress findSymbol(LibraryHandle library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<SymbolAddress>(dlsym(library, name));
}

void freeLibrary(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

}  // namespace marrowel::platform
