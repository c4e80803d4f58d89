#include "service/add_in_service.h"

#include <optional>

#include "host/object_registry.h"
#include "native/abi.h"
#include "platform/dynamic_library.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "service/class_list.h"
#include "site/add_in_site.h"
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

void AddInServiceEx::createInstance(Json::Value& params, Json::Value& result) {
  const OptionalStringParam fullName = OptionalStringParam::fromParams(params, 0);
  if (!fullName.present) throw invalid_args();
  auto found = classRecords.find(fullName.wide);
  if (found == classRecords.end()) throw invalid_args();
  AddInClassRecord& record = found->second;
  const bool sharedSite = record.version >= 1000 && record.version <= 1999;

  if (record.preparedSiteId != 0 || sharedSite) {
    std::shared_ptr<ScriptableClassBase> prepared = objectRegistry().findObject(record.preparedSiteId);
    if (prepared) {
      if (!sharedSite) record.preparedSiteId = 0;
      prepared->describe(&result);
      return;
    }
  }
  // No prepared site to hand out (given out already, or released by the
  // browser meanwhile): a new one.
  AddInSite* site = createSite();
  site->bindAddIn(record.className, false, record.libraryPath);
  record.preparedSiteId = sharedSite ? site->clsId : 0;
  site->describe(&result);
}

void AddInServiceEx::releaseObject(Json::Value& params, Json::Value&) {
  // The browser passes the identifier as the first parameter, either as a
  // number or as an object's "cls_id" member.
  const Json::Value& first = params.isArray() && !params.empty() ? params[0] : Json::Value::nullSingleton();
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

namespace {

// The library's class list, copied while the library is loaded for this call
// only; without "GetClassNames" the path itself is the one class name. None
// when the library cannot be loaded or answers no list.
std::optional<WideString> readClassList(const WideString& path) {
  platform::LibraryHandle library = platform::loadLibrary(path);
  if (!library) return std::nullopt;
  std::optional<WideString> list;
  auto getClassNames = platform::findFunction<abi::GetClassNamesFunction>(library, "GetClassNames");
  if (!getClassNames) {
    list = path;
  } else if (const char16_t* names = getClassNames()) {
    list = WideString(names);
  }
  platform::freeLibrary(library);
  return list;
}

}  // namespace

AddInSite* AddInServiceEx::createSite() {
  AddInSite* site = makeScriptable<AddInSite>();
  site->locale = locale;
  return site;
}

bool AddInServiceEx::loadLibrary(const WideString& name) {
  const WideString path = pathBeside(platform::hostModulePath(), toUtf16(platform::addInLibraryName()));

  const std::optional<WideString> classList = readClassList(path);
  if (!classList) return false;

  for (const WideString& className : splitClassList(*classList)) {
    AddInSite* site = createSite();
    site->bindAddIn(className, true, path);
    const WideString fullName = name.empty() ? site->extensionName : name + u"." + site->extensionName;
    classNames.push_back(toUtf8(fullName));
    Json::Value announced(Json::arrayValue);
    announced.append(Json::Value(classNames.back()));
    Json::Value unused;
    sendMessage("registerClassName", announced, unused, 15);
    AddInClassRecord record;
    record.version = site->version;
    record.className = className;
    record.libraryPath = path;
    record.preparedSiteId = site->clsId;
    classRecords.emplace(fullName, std::move(record));
  }
  return true;
}

}  // namespace marrowel
