#include "service/add_in_service.h"

#include "host/object_registry.h"
#include "scriptable/lib_exception.h"
#include "values/argument_holders.h"

namespace marrowel {

AddInServiceEx::AddInServiceEx() {
  methodTable(METHOD_DECLARE, "", nullptr, nullptr);
  clsName = "AddInServiceEx";
}

bool AddInServiceEx::methodTable(std::int32_t kind, std::string name, Json::Value* params,
                                 Json::Value* result) {
  static const Method methods[] = {
      {"init", &AddInServiceEx::init},
      {"loadAddIn", &AddInServiceEx::loadAddIn},
      {"createInstance", &AddInServiceEx::createInstance},
      {"releaseObject", &AddInServiceEx::releaseObject},
      {"setLocale", &AddInServiceEx::setLocale},
  };
  return runMethodTable(methods, kind, name, params, result);
}

void AddInServiceEx::init(Json::Value&, Json::Value&) {}

void AddInServiceEx::loadAddIn(Json::Value& params, Json::Value& result) {
  const OptionalStringParam name = OptionalStringParam::fromParams(params, 0);
  const OptionalStringParam location = OptionalStringParam::fromParams(params, 1);
  if (!name.present) throw invalid_args();
  if (loadedLibraries.count(name.wide)) {
    result = true;
    return;
  }
  if (!location.present) throw invalid_args();
  const bool loaded = loadLibrary(name.wide);
  if (loaded) loadedLibraries.insert(name.wide);
  result = loaded;
}

void AddInServiceEx::createInstance(Json::Value& params, Json::Value&) {
  const OptionalStringParam fullName = OptionalStringParam::fromParams(params, 0);
  if (!fullName.present) throw invalid_args();
  auto record = classRecords.find(fullName.wide);
  if (record == classRecords.end()) throw invalid_args();
  throw invalid_args();
}

void AddInServiceEx::releaseObject(Json::Value& params, Json::Value&) {
  // The browser passes the identifier as the first parameter, either as a
  // number or as an object's "cls_id" member.
  const Json::Value& first = params.isArray() && !params.empty() ? params[0] : Json::Value::null;
  const Json::Value* id = nullptr;
  if (first.isNumeric()) {
    id = &first;
  } else if (first.isObject() && first.isMember("cls_id") && first["cls_id"].isNumeric()) {
    id = &first["cls_id"];
  }
  if (!id || !id->isConvertibleTo(Json::uintValue)) throw invalid_args();
  objectRegistry().eraseObject(id->asUInt());
}

void AddInServiceEx::setLocale(Json::Value& params, Json::Value&) {
  const OptionalStringParam text = OptionalStringParam::fromParams(params, 0);
  if (!text.present) throw invalid_args();
  locale = text.wide;
}

bool AddInServiceEx::loadLibrary(const WideString&) { return false; }

}  // namespace marrowel
