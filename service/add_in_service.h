#pragma once
// AddInServiceEx: the browser's entry point into the add-in world. It loads
// the add-in library, keeps one record per add-in class the library offers,
// and hands out AddInSite objects for them. Main thread only.

#include <cstdint>
#include <map>
#include <set>

#include "scriptable/scriptable_class.h"
#include "values/text_encoding.h"

namespace marrowel {

class AddInSite;

struct AddInClassRecord {
  std::int32_t version = -1;
  WideString className;
  WideString libraryPath;
  std::uint32_t preparedSiteId = 0;
};

class AddInServiceEx : public ScriptableClass<AddInServiceEx> {
 public:
  AddInServiceEx();
  ~AddInServiceEx() override = default;

  bool methodTable(std::int32_t kind, std::string name, Json::Value* params,
                   Json::Value* result) override;

  std::map<WideString, AddInClassRecord> classRecords;
  std::set<WideString> loadedLibraries;
  WideString locale;

 private:
  void init(Json::Value& params, Json::Value& result);
  void loadAddIn(Json::Value& params, Json::Value& result);
  void createInstance(Json::Value& params, Json::Value& result);
  void releaseObject(Json::Value& params, Json::Value& result);
  void setLocale(Json::Value& params, Json::Value& result);

  // A new site, registered, carrying the service's locale.
  AddInSite* createSite();

  // Loads the add-in library and registers its classes; false when the
  // library cannot be loaded.
  bool loadLibrary(const WideString& name);
};

}  // namespace marrowel
