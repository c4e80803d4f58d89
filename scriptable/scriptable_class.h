#pragma once
// The per-class layer of scriptable objects: declared properties and a
// table-driven method table. A concrete class T lists its methods as
// {name, handler} in declaration order and forwards its `methodTable` to
// `runMethodTable`; its constructor calls `methodTable(METHOD_DECLARE, ...)`.

#include <cstddef>
#include <set>
#include <string>

#include "scriptable/scriptable_class_base.h"

namespace marrowel {

template <class T>
class ScriptableClass : public ScriptableClassBase {
 public:
  Json::Value propertyValues(Json::Value* writable) override {
    (void)writable;
    Json::Value values(Json::objectValue);
    for (const std::string& name : propertyNames) {
      Json::Value value;
      try {
        fetchProperty(name, &value);
      } catch (...) {
        value = Json::Value();
      }
      values[name] = value;
    }
    return values;
  }

 protected:
  // Handlers take the request's params (in/out) and the result (null on entry)
  // and report failure by raising `lib_exception`.
  using Handler = void (T::*)(Json::Value& params, Json::Value& result);
  struct Method {
    const char* name;
    Handler handler;
  };

  template <std::size_t N>
  bool runMethodTable(const Method (&methods)[N], std::int32_t kind, const std::string& name,
                      Json::Value* params, Json::Value* result) {
    switch (kind) {
      case METHOD_DECLARE:
        for (const Method& method : methods) methodNames.insert(method.name);
        return false;
      case METHOD_FIND:
        return methodNames.count(name) != 0;
      case METHOD_INVOKE:
        for (const Method& method : methods) {
          if (currentMethod == method.name && methodNames.count(method.name)) {
            (static_cast<T*>(this)->*method.handler)(*params, *result);
            return true;
          }
        }
        return false;
      default:
        return false;
    }
  }

  std::set<std::string> propertyNames;
};

}  // namespace marrowel
