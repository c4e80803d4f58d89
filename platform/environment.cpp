#include "platform/environment.h"

#include <cstdlib>

namespace marrowel::platform {

std::optional<std::string> environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

}  // namespace marrowel::platform
