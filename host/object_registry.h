#pragma once
// The registry of scriptable objects: the only owner of every object the
// browser can address, keyed by `cls_id`. Identifiers come from one counter,
// are given in construction order to every class alike and never reused.
//
// Main thread only, except that `cls_id` assignment is atomic.

#include <cstdint>
#include <map>
#include <memory>

namespace marrowel {

class ScriptableClassBase;

class ObjectRegistry {
 public:
  // Takes ownership of `object` under its `cls_id`; an identifier still in use
  // keeps its first owner and the newcomer is destroyed.
  void registerObject(std::shared_ptr<ScriptableClassBase> object);

  // The object under `clsId`, or null. Holding the answer keeps the object
  // alive even if it is released meanwhile.
  std::shared_ptr<ScriptableClassBase> findObject(std::uint32_t clsId) const;

  // Removes and destroys the object under `clsId`; does nothing when absent.
  void eraseObject(std::uint32_t clsId);

  // Destroys every object (end of the run).
  void clear();

 private:
  std::map<std::uint32_t, std::shared_ptr<ScriptableClassBase>> objects_;
};

ObjectRegistry& objectRegistry();

// Takes the next `cls_id` from the process-wide counter.
std::uint32_t takeNextClsId();

}  // namespace marrowel
