#pragma once
// AdapterNative: the host of one add-in object. Toward its site it implements
// IAdapterContext: it loads the library, creates the object through the
// library's exports, and drives the object's three parts, converting values
// between JSON and value records. Toward the object it is the host: its
// HostParts are handed to the object, whose calls arrive at the host services
// below and are forwarded to the site (without a site they answer false, 0 or
// null).
//
// Ownership: the site owns the adapter and ends it with destroyAdapter; the
// adapter owns the object (ended through the library's DestroyObject) and its
// load of the library. Every record handed to the object is released after
// the call, whoever filled its buffer, since both sides use the host heap.
//
// Threads: IAdapterContext runs on the main thread. The host services run on
// whichever thread the object calls from; they take no locks and reach the
// site from there. The platform information texts are per adapter.

#include <cstdint>

#include "native/abi.h"
#include "native/host_tables.h"
#include "platform/dynamic_library.h"
#include "site/adapter_context.h"
#include "values/native_variant.h"
#include "values/text_encoding.h"

namespace marrowel {

class AdapterNative final : public IAdapterContext {
 public:
  AdapterNative();
  AdapterNative(const AdapterNative&) = delete;
  AdapterNative& operator=(const AdapterNative&) = delete;

  // IAdapterContext. Without an object, getProperty, setProperty and
  // callMethod raise lib_exception "Add-in object is not available";
  // applyLocale and getExtensionName do nothing; getVersion answers -1.
  void attachSite(AddInSite* site) override;
  void createObject(const WideString& className, const WideString& libraryPath) override;
  bool hasObject() override;
  void applyLocale(const WideString& locale) override;
  std::int32_t getVersion() override;
  void getExtensionName(WideString& out) override;
  void shutdownObject() override;
  void destroyAdapter() override;
  void getProperty(const WideString& name, Json::Value& out) override;
  void setProperty(const WideString& name, const Json::Value& value) override;
  void callMethod(const WideString& name, Json::Value& arguments, Json::Value& result) override;

  // The parts handed to the object by attachHost and attachMemoryManager.
  abi::IAddInDefBaseEx* hostConnection() { return &parts_.defBase; }
  abi::IMemoryManager* memoryManager() { return &parts_.memoryManager; }

  // Host services, reached through the tables; they may raise (the table
  // entries turn that into the failure value).
  bool addError(std::uint16_t code, const char16_t* source, const char16_t* description,
                std::int32_t status);
  // Sets *error to 0 first, with or without a site; the add-in gets null.
  bool read(const char16_t* name, NativeVariant* value, std::int32_t* error);
  bool write(const char16_t* name, const NativeVariant* value);
  bool registerProfileAs(const char16_t* name);
  bool setEventBufferDepth(std::int32_t depth);
  std::int32_t getEventBufferDepth();
  bool externalEvent(const char16_t* source, const char16_t* message, const char16_t* data);
  bool setStatusLine(const char16_t* text);
  void resetStatusLine();
  bool askYesNo(const char16_t* question, NativeVariant* answer);
  bool showMessage(const char16_t* text);
  // Refreshed from the browser's start texts on every call; the record stays
  // valid until the next call or the adapter's end.
  const abi::PlatformInfoRecord* platformInfo();

 private:
  // Only destroyAdapter ends an adapter.
  ~AdapterNative() = default;

  abi::ObjectParts& objectParts() { return *static_cast<abi::ObjectParts*>(object_); }
  void requireObject();

  HostParts parts_;
  AddInSite* site_ = nullptr;
  platform::LibraryHandle library_ = nullptr;
  WideString className_;
  void* object_ = nullptr;
  WideString versionText_;
  WideString userAgentText_;
  abi::PlatformInfoRecord platformRecord_ = {nullptr, nullptr, 0};
};

}  // namespace marrowel
