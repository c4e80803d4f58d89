#include "site/add_in_site.h"

#include <clocale>

#include "host/host_info.h"
#include "native/adapter_native.h"
#include "platform/dialogs.h"
#include "platform/environment.h"
#include "scriptable/lib_exception.h"
#include "values/argument_holders.h"

namespace marrowel {

AddInSite::AddInSite() {
  methodTable(METHOD_DECLARE, "", nullptr, nullptr);
  clsName = "AddInSite";
}

AddInSite::~AddInSite() {
  if (adapter) adapter->destroyAdapter();
}

bool AddInSite::methodTable(std::int32_t kind, std::string name, Json::Value* params,
                            Json::Value* result) {
  static const Method methods[] = {
      {"getPropertyValue", &AddInSite::getPropertyValue},
      {"setPropertyValue", &AddInSite::setPropertyValue},
      {"callExt", &AddInSite::callExt},
      {"done", &AddInSite::done},
  };
  return runMethodTable(methods, kind, name, params, result);
}

void AddInSite::bindAddIn(const WideString& className, bool wantVersion,
                          const WideString& libraryPath) {
  adapter = new AdapterNative();
  adapter->attachSite(this);
  adapter->createObject(className, libraryPath);
  if (!adapter->hasObject()) return;
  if (locale.empty()) locale = localeFromEnvironment();
  adapter->applyLocale(locale);
  version = -1;
  if (wantVersion) version = adapter->getVersion();
  adapter->getExtensionName(extensionName);
}

namespace {

// The site's adapter, or the failure the browser gets when there is no add-in
// object behind the site (creation failed, or after "done").
IAdapterContext& liveAdapter(IAdapterContext* adapter) {
  if (!adapter || !adapter->hasObject()) throw lib_exception("Add-in object is not available");
  return *adapter;
}

}  // namespace

void AddInSite::getPropertyValue(Json::Value& params, Json::Value& result) {
  const OptionalStringParam name = OptionalStringParam::fromParams(params, 0);
  if (!name.present) throw invalid_args();
  liveAdapter(adapter).getProperty(name.wide, result);
}

void AddInSite::setPropertyValue(Json::Value& params, Json::Value&) {
  const OptionalStringParam name = OptionalStringParam::fromParams(params, 0);
  if (!name.present) throw invalid_args();
  const OptionalJsonParam value = OptionalJsonParam::fromSecondParam(params);
  if (!value.present) throw invalid_args();
  liveAdapter(adapter).setProperty(name.wide, value.value);
}

void AddInSite::callExt(Json::Value& params, Json::Value& result) {
  const OptionalStringParam name = OptionalStringParam::fromParams(params, 0);
  Json::Value arguments(Json::arrayValue);
  if (params.isArray()) {
    for (Json::ArrayIndex i = 1; i < params.size(); ++i) arguments.append(std::move(params[i]));
  }
  if (!name.present) throw invalid_args();
  // On failure the reply is an error that does not echo params, so the moved
  // arguments need not go back.
  liveAdapter(adapter).callMethod(name.wide, arguments, result);
  Json::Value rewritten(Json::arrayValue);
  rewritten.append(Json::Value(name.narrow));
  if (arguments.isArray()) {
    for (Json::Value& argument : arguments) rewritten.append(std::move(argument));
  }
  params = std::move(rewritten);
}

void AddInSite::done(Json::Value&, Json::Value&) {
  if (adapter) adapter->shutdownObject();
}

bool AddInSite::sendEvent(const char* name, Json::Value params) {
  Json::Value unused;
  sendMessage(name, params, unused, 15);
  return true;
}

bool AddInSite::addError(std::uint16_t code, const char16_t* source, const char16_t* description,
                         std::int32_t statusCode) {
  Json::Value params(Json::arrayValue);
  params.append(Json::Value(Json::Int(code)));
  params.append(jsonStringFromWide(source));
  params.append(jsonStringFromWide(description));
  params.append(Json::Value(Json::Int(statusCode)));
  return sendEvent("addError", std::move(params));
}

bool AddInSite::readValue(const char16_t* name, const Json::Value& value) {
  Json::Value params(Json::arrayValue);
  params.append(jsonStringFromWide(name));
  params.append(value);
  return sendEvent("readValue", std::move(params));
}

bool AddInSite::writeValue(const char16_t* name, const Json::Value& value) {
  Json::Value params(Json::arrayValue);
  params.append(jsonStringFromWide(name));
  params.append(value);
  return sendEvent("writeValue", std::move(params));
}

bool AddInSite::registerProfileAs(const char16_t* name) {
  Json::Value params(Json::arrayValue);
  params.append(jsonStringFromWide(name));
  return sendEvent("registerProfileAs", std::move(params));
}

bool AddInSite::externalEvent(const char16_t* source, const char16_t* message,
                              const char16_t* data) {
  Json::Value params(Json::arrayValue);
  params.append(jsonStringFromWide(source));
  params.append(jsonStringFromWide(message));
  params.append(jsonStringFromWide(data));
  return sendEvent("externalEvent", std::move(params));
}

bool AddInSite::setStatusLine(const char16_t* text) {
  Json::Value params(Json::arrayValue);
  params.append(jsonStringFromWide(text));
  return sendEvent("setStatusLine", std::move(params));
}

bool AddInSite::resetStatusLine() { return sendEvent("resetStatusLine", Json::Value(Json::arrayValue)); }

namespace {
WideString wideOrEmpty(const char16_t* text) { return text ? WideString(text) : WideString(); }
}  // namespace

bool AddInSite::confirmBox(const char16_t* text, Json::Value& answer) {
  answer = platform::confirmBox(wideOrEmpty(text), hostInfo().browserWindowClass);
  return true;
}

bool AddInSite::alertBox(const char16_t* text) {
  platform::alertBox(wideOrEmpty(text), hostInfo().browserWindowClass);
  return true;
}

WideString localeFromEnvironment() {
  if (auto lang = platform::environmentVariable("LANG")) return toUtf16(*lang);
  const char* current = std::setlocale(LC_ALL, nullptr);
  return toUtf16(current ? current : "");
}

}  // namespace marrowel
