#include "host/object_registry.h"

#include <atomic>

#include "scriptable/scriptable_class_base.h"

namespace marrowel {

void ObjectRegistry::registerObject(std::shared_ptr<ScriptableClassBase> object) {
  const std::uint32_t id = object->clsId;
  objects_.emplace(id, std::move(object));
}

std::shared_ptr<ScriptableClassBase> ObjectRegistry::findObject(std::uint32_t clsId) const {
  auto it = objects_.find(clsId);
  return it == objects_.end() ? nullptr : it->second;
}

void ObjectRegistry::eraseObject(std::uint32_t clsId) {
  auto it = objects_.find(clsId);
  if (it == objects_.end()) return;
  // Destroy outside the map: an object's teardown may run add-in code.
  std::shared_ptr<ScriptableClassBase> doomed = std::move(it->second);
  objects_.erase(it);
}

void ObjectRegistry::clear() {
  std::map<std::uint32_t, std::shared_ptr<ScriptableClassBase>> doomed;
  doomed.swap(objects_);
  doomed.clear();
}

ObjectRegistry& objectRegistry() {
  static ObjectRegistry registry;
  return registry;
}

namespace {
std::atomic<std::uint32_t> nextClsId{0};
}

std::uint32_t takeNextClsId() { return nextClsId.fetch_add(1); }

}  // namespace marrowel
