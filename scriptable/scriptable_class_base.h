#pragma once
// The base of every object the browser addresses by `cls_id`: the service and
// the add-in sites. It carries the envelope state of the current request and
// implements the generic behaviour: dispatching requests through the class's
// method table, error replies, the class description, and building and sending
// replies and host calls (long texts go out as chunks).
//
// Objects are owned by the object registry; make them with `makeScriptable`.
// Requests are handled on the main thread. Host calls may be sent from add-in
// threads: they read `clsId` and `queryId` and raise `hostCallCount`, which are
// atomic for that reason.

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <json/value.h>

#include "host/object_registry.h"

namespace marrowel {

enum MethodTableKind : std::int32_t { METHOD_DECLARE = 0, METHOD_FIND = 1, METHOD_INVOKE = 2 };
enum PropertyTableKind : std::int32_t { PROPERTY_FIND = 1, PROPERTY_GET = 2, PROPERTY_SET = 3 };

class ScriptableClassBase {
 public:
  ScriptableClassBase();
  virtual ~ScriptableClassBase() = default;
  ScriptableClassBase(const ScriptableClassBase&) = delete;
  ScriptableClassBase& operator=(const ScriptableClassBase&) = delete;

  bool hasMethod(std::string name);
  bool hasProperty(std::string name);
  bool fetchProperty(std::string name, Json::Value* out);
  bool storeProperty(std::string name, Json::Value* value);

  // One member per declared property with its current value (null when the
  // read fails). `writable` is left as it is.
  virtual Json::Value propertyValues(Json::Value* writable);

  // Stores each {name: value} element whose name is a declared property.
  void applyProperties(const Json::Value& properties);

  // Replaces `*out` with the class description and returns it.
  Json::Value& describe(Json::Value* out);

  // Runs a method; failures are reported with an error reply. Answers false
  // when the method is unknown or failed.
  bool invokeMethod(std::string name, Json::Value* params, Json::Value* result);

  // Sends the error reply: `currentOperation` when set, else `fallbackNumber`.
  void sendError(std::int32_t fallbackNumber, const std::string& text);

  // Handles one request of type 2, 4, 6 or 8. Raises `invalid_args` for a
  // malformed envelope; answers whether the request was carried out.
  bool dispatch(Json::Value& message);

  // A concrete class declares, finds and invokes its methods here.
  virtual bool methodTable(std::int32_t kind, std::string name, Json::Value* params,
                           Json::Value* result);
  // No class of the host declares properties.
  virtual bool propertyTable(std::int32_t kind, std::string name, Json::Value* value);

  // Writes a finished message text as one frame, or as chunk messages when it
  // is longer than CHUNK_THRESHOLD. Answers the bytes of message text written.
  std::int32_t sendText(const std::string& text);

  // Builds a reply (3, 5, 9) around `payload` or a host call (15) carrying
  // `source` as its params, and sends it.
  void sendMessage(const std::string& name, Json::Value& source, Json::Value& payload,
                   std::int32_t type);

  std::int32_t currentOperation = 0;
  const std::uint32_t clsId;
  std::string currentMethod;
  std::string clsName;
  std::set<std::string> methodNames;
  std::atomic<std::uint32_t> queryId{0};
  std::atomic<std::uint32_t> hostCallCount{0};
  std::vector<std::string> classNames;
};

// Constructs a scriptable object and hands it to the object registry, which
// owns it from then on. Answers a plain pointer valid while it stays registered.
template <class T, class... Args>
T* makeScriptable(Args&&... args) {
  auto object = std::make_shared<T>(std::forward<Args>(args)...);
  T* raw = object.get();
  objectRegistry().registerObject(std::move(object));
  return raw;
}

}  // namespace marrowel
