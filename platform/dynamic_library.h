#pragma once
// Loading add-in libraries at run time: open a library by its full path, find
// an exported function by its undecorated name, let the library go. The OS
// counts loads, so several handles to one library share it. A handle is owned
// by whoever loaded it and freed once. Any thread.

#include <string>

namespace marrowel::platform {

// Opaque; null means "not loaded".
struct LibraryModule;
using LibraryHandle = LibraryModule*;

// A function's address as the OS gives it; cast to the export's real type.
using SymbolAddress = void (*)();

// Loads the library at `path` (UTF-16); null when it cannot be loaded.
LibraryHandle loadLibrary(const std::u16string& path);

// The export `name`, or null when the library has none (or `library` is null).
SymbolAddress findSymbol(LibraryHandle library, const char* name);

template <class Function>
Function findFunction(LibraryHandle library, const char* name) {
  return reinterpret_cast<Function>(findSymbol(library, name));
}

// Drops one load of the library; null is ignored.
void freeLibrary(LibraryHandle library);

}  // namespace marrowel::platform
