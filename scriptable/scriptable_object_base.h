#pragma once
// A value object that writes itself into JSON. Unlike the classes built on
// ScriptableClassBase, such an object has no `cls_id` and never enters the
// object registry; it is a plain value owned by whoever made it.

#include <json/value.h>

namespace marrowel {

class ScriptableObjectBase {
 public:
  // Declared before the destructor so that it takes the first table slot.
  virtual void toJson(Json::Value& out) const = 0;
  virtual ~ScriptableObjectBase() = default;

 protected:
  ScriptableObjectBase() = default;
  ScriptableObjectBase(const ScriptableObjectBase&) = default;
  ScriptableObjectBase& operator=(const ScriptableObjectBase&) = default;
};

}  // namespace marrowel
