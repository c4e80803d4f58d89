#pragma once

#include "host/object_registry.h"

namespace marrowel {

template <class T, class... Args>
T* makeScriptable(Args&&... args) {
  auto object = std::make_shared<T>(std::forward<Args>(args)...);
  T* raw = object.get();
  objectRegistry().registerObject(std::move(object));
  return raw;
}

}  // namespace marrowel
