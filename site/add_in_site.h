#pragma once
// AddInSite: one add-in object as the browser sees it. Toward the browser it
// offers "getPropertyValue", "setPropertyValue", "callExt" and "done"; toward
// the add-in it turns host events into type 15 messages and shows message
// boxes. It drives the object only through its adapter, which it owns.
//
// Browser methods and binding run on the main thread. Host events and message
// boxes run on whatever thread the add-in calls from; they touch only the
// atomic envelope members and the output service.

#include <atomic>
#include <cstdint>

#include "scriptable/scriptable_class.h"
#include "site/adapter_context.h"
#include "values/text_encoding.h"

namespace marrowel {

class AddInSite : public ScriptableClass<AddInSite> {
 public:
  AddInSite();
  ~AddInSite() override;

  bool methodTable(std::int32_t kind, std::string name, Json::Value* params,
                   Json::Value* result) override;

  // Makes the adapter and binds a new add-in object of `className` from the
  // library; with `wantVersion` the component's version is read. Errors from
  // object creation propagate; the site keeps its adapter.
  void bindAddIn(const WideString& className, bool wantVersion, const WideString& libraryPath);

  // Host events: each is sent to the browser at once; answers true.
  bool addError(std::uint16_t code, const char16_t* source, const char16_t* description,
                std::int32_t statusCode);
  bool readValue(const char16_t* name, const Json::Value& value);
  bool writeValue(const char16_t* name, const Json::Value& value);
  bool registerProfileAs(const char16_t* name);
  bool externalEvent(const char16_t* source, const char16_t* message, const char16_t* data);
  bool setStatusLine(const char16_t* text);
  bool resetStatusLine();

  // Message boxes owned by the browser's window; both block until answered.
  // `answer` becomes true for Yes. Both answer true once the box is closed.
  bool confirmBox(const char16_t* text, Json::Value& answer);
  bool alertBox(const char16_t* text);

  WideString locale;
  WideString extensionName;
  IAdapterContext* adapter = nullptr;
  std::int32_t version = -1;
  std::atomic<std::int32_t> eventBufferDepth{1};

 private:
  void getPropertyValue(Json::Value& params, Json::Value& result);
  void setPropertyValue(Json::Value& params, Json::Value& result);
  void callExt(Json::Value& params, Json::Value& result);
  void done(Json::Value& params, Json::Value& result);

  bool sendEvent(const char* name, Json::Value params);
};

// The locale text for add-ins when none was set: "LANG" when set (even
// empty), else the name of the process's current locale.
WideString localeFromEnvironment();

}  // namespace marrowel
