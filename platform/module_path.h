#pragma once
// Where the running host executable lies, so that the add-in library beside
// it can be found. Any thread.

#include <string>

namespace marrowel::platform {

// The full path of the host executable (UTF-16); empty when the OS gives none.
std::u16string hostModulePath();

}  // namespace marrowel::platform
