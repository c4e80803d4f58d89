#pragma once
// IAdapterContext: how a site drives the one add-in object it stands for.
// Creating and binding the object, locale, version and extension name,
// properties, method calls and ending the object all go through it; values
// cross as JSON. Its implementation (AdapterNative) also serves the object's
// calls back into the host. Used on the main thread only.

#include <cstdint>

#include <json/value.h>

#include "values/text_encoding.h"

namespace marrowel {

class AddInSite;

class IAdapterContext {
 public:
  // Stores the owning site (not owned).
  virtual void attachSite(AddInSite* site) = 0;

  // Loads the library if needed and creates and initialises the object. A
  // library that cannot be loaded or offers no such object leaves the adapter
  // without one (see hasObject); an object that refuses the host's interfaces
  // raises lib_exception with an empty text.
  virtual void createObject(const WideString& className, const WideString& libraryPath) = 0;

  virtual bool hasObject() = 0;
  virtual void applyLocale(const WideString& locale) = 0;
  // The component's version; -1 without an object.
  virtual std::int32_t getVersion() = 0;
  // Leaves `out` as it was when the component reports no name.
  virtual void getExtensionName(WideString& out) = 0;

  // Ends the object once: tells it, destroys it through its library, lets the
  // library go. Later calls do nothing.
  virtual void shutdownObject() = 0;

  // Site teardown: ends a live object, then deletes the adapter.
  virtual void destroyAdapter() = 0;

  // Raise lib_exception ("Property not found", "Property error",
  // "Method not found", "Failed calling method", or "Add-in object is not
  // available" without an object).
  virtual void getProperty(const WideString& name, Json::Value& out) = 0;
  virtual void setProperty(const WideString& name, const Json::Value& value) = 0;
  // `arguments` is read and rewritten in place; `result` receives the return value.
  virtual void callMethod(const WideString& name, Json::Value& arguments, Json::Value& result) = 0;

 protected:
  ~IAdapterContext() = default;
};

}  // namespace marrowel
