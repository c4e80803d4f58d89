#include "native/adapter_native.h"

#include <vector>

#include "host/host_info.h"
#include "scriptable/lib_exception.h"
#include "site/add_in_site.h"

namespace marrowel {
namespace {

constexpr std::int32_t NOT_FOUND = -1;

// Records handed to the object, released however the operation ends.
struct Records {
  std::vector<NativeVariant> values;
  explicit Records(std::size_t count) : values(count) {}
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;
  ~Records() {
    for (NativeVariant& value : values) releaseNativeVariant(value);
  }
};

struct Record {
  NativeVariant value;
  Record() = default;
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;
  ~Record() { releaseNativeVariant(value); }
};

// The name block an object reports, returned through the adapter's own
// memory manager, since the object allocated it there.
struct ReportedName {
  abi::IMemoryManager* memory;
  char16_t* text = nullptr;
  explicit ReportedName(abi::IMemoryManager* memoryManager) : memory(memoryManager) {}
  ReportedName(const ReportedName&) = delete;
  ReportedName& operator=(const ReportedName&) = delete;
  ~ReportedName() {
    if (text != nullptr) memory->table->freeBlock(memory, reinterpret_cast<void**>(&text));
  }
};

}  // namespace

AdapterNative::AdapterNative() { bindHostParts(parts_, this); }

void AdapterNative::attachSite(AddInSite* site) { site_ = site; }

void AdapterNative::createObject(const WideString& className, const WideString& libraryPath) {
  if (!className.empty()) className_ = className;
  if (libraryPath.empty()) return;
  if (library_ == nullptr) {
    library_ = platform::loadLibrary(libraryPath);
    if (library_ == nullptr) return;
  }
  const auto getClassObject =
      platform::findFunction<abi::GetClassObjectFunction>(library_, abi::GET_CLASS_OBJECT);
  if (getClassObject == nullptr) {
    platform::freeLibrary(library_);
    library_ = nullptr;
    return;
  }
  if (getClassObject(className_.c_str(), &object_) == 0) return;

  const auto setCapabilities = platform::findFunction<abi::SetPlatformCapabilitiesFunction>(
      library_, abi::SET_PLATFORM_CAPABILITIES);
  const bool withHost = setCapabilities == nullptr ||
                        setCapabilities(abi::CAPABILITY_LEVEL) != abi::CAPABILITY_REFUSED;
  abi::ObjectLifecycle* lifecycle = &objectParts().lifecycle;
  // A refusal leaves object and library in place; the site's teardown ends them.
  if (withHost && !lifecycle->table->attachHost(lifecycle, hostConnection())) {
    throw lib_exception("");
  }
  if (!lifecycle->table->attachMemoryManager(lifecycle, memoryManager())) {
    throw lib_exception("");
  }
}

bool AdapterNative::hasObject() { return object_ != nullptr; }

void AdapterNative::applyLocale(const WideString& locale) {
  if (object_ == nullptr) return;
  abi::ObjectLocale* part = &objectParts().locale;
  part->table->changeLocale(part, locale.c_str());
}

std::int32_t AdapterNative::getVersion() {
  if (object_ == nullptr) return -1;
  abi::ObjectLifecycle* part = &objectParts().lifecycle;
  return part->table->componentVersion(part);
}

void AdapterNative::getExtensionName(WideString& out) {
  if (object_ == nullptr) return;
  abi::ObjectExtension* part = &objectParts().extension;
  ReportedName name(memoryManager());
  if (!part->table->reportExtensionName(part, &name.text)) {
    // Nothing was handed over, whatever the pointer now holds.
    name.text = nullptr;
    return;
  }
  out = name.text == nullptr ? WideString() : WideString(name.text);
}

void AdapterNative::shutdownObject() {
  if (library_ == nullptr || object_ == nullptr) return;
  abi::ObjectLifecycle* part = &objectParts().lifecycle;
  part->table->shutdown(part);
  const auto destroyObject =
      platform::findFunction<abi::DestroyObjectFunction>(library_, abi::DESTROY_OBJECT);
  if (destroyObject == nullptr) {
    // The object may still be running code of the library: keep it loaded.
    object_ = nullptr;
    return;
  }
  destroyObject(&object_);
  object_ = nullptr;
  platform::freeLibrary(library_);
  library_ = nullptr;
}

void AdapterNative::destroyAdapter() {
  if (library_ != nullptr) shutdownObject();
  delete this;
}

void AdapterNative::getProperty(const WideString& name, Json::Value& out) {
  requireObject();
  abi::ObjectExtension* part = &objectParts().extension;
  Record record;
  const std::int32_t index = part->table->lookupProperty(part, name.c_str());
  if (index == NOT_FOUND) throw lib_exception("Property not found");
  // An unreadable property reads as the still empty record: {}.
  if (part->table->canReadProperty(part, index) &&
      !part->table->readProperty(part, index, &record.value)) {
    throw lib_exception("Property error");
  }
  nativeVariantToJson(record.value, out);
}

void AdapterNative::setProperty(const WideString& name, const Json::Value& value) {
  requireObject();
  abi::ObjectExtension* part = &objectParts().extension;
  Record record;
  // Converted before the lookup, so an unconvertible value fails even for an
  // unknown name.
  jsonToNativeVariant(value, record.value);
  const std::int32_t index = part->table->lookupProperty(part, name.c_str());
  if (index == NOT_FOUND) throw lib_exception("Property not found");
  if (!part->table->canWriteProperty(part, index)) return;
  if (!part->table->writeProperty(part, index, &record.value)) {
    throw lib_exception("Property error");
  }
}

void AdapterNative::callMethod(const WideString& name, Json::Value& arguments,
                               Json::Value& result) {
  requireObject();
  abi::ObjectExtension* part = &objectParts().extension;
  const std::int32_t index = part->table->lookupMethod(part, name.c_str());
  if (index == NOT_FOUND) throw lib_exception("Method not found");
  const bool returnsValue = part->table->methodReturnsValue(part, index);
  Record returned;
  const std::int32_t count = part->table->countParameters(part, index);
  const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
  Records records(n);

  // g: how many arguments the caller gave. A lone value that is neither null
  // nor {} counts as the first argument.
  std::size_t given = 0;
  if (arguments.isArray()) {
    given = arguments.size();
    jsonArrayToNativeVariants(arguments, records.values);
  } else if (!arguments.isNull() && !(arguments.isObject() && arguments.empty()) && n > 0) {
    given = 1;
    jsonToNativeVariant(arguments, records.values[0]);
  }
  for (std::size_t i = given; i < n; ++i) {
    // The answer is not consulted: a parameter without default stays empty.
    part->table->parameterDefaultValue(part, index, static_cast<std::int32_t>(i),
                                       &records.values[i]);
  }

  NativeVariant* first = n > 0 ? records.values.data() : nullptr;
  const std::int32_t passed = static_cast<std::int32_t>(n);
  bool succeeded;
  if (returnsValue) {
    succeeded = part->table->invokeFunction(part, index, &returned.value, first, passed);
    nativeVariantToJson(returned.value, result);
  } else {
    succeeded = part->table->invokeProcedure(part, index, first, passed);
  }

  // Hand back the parameters as the object left them, in as many places as
  // the caller gave.
  if (n > 0) {
    Json::Value rewritten(Json::arrayValue);
    nativeVariantsToJsonArray(records.values, rewritten);
    rewritten.resize(static_cast<Json::ArrayIndex>(given));
    arguments.swap(rewritten);
  }
  if (!succeeded) throw lib_exception("Failed calling method");
}

void AdapterNative::requireObject() {
  if (object_ == nullptr) throw lib_exception("Add-in object is not available");
}

// Host services

bool AdapterNative::addError(std::uint16_t code, const char16_t* source,
                             const char16_t* description, std::int32_t status) {
  return site_ != nullptr && site_->addError(code, source, description, status);
}

bool AdapterNative::read(const char16_t* name, NativeVariant* value, std::int32_t* error) {
  if (error != nullptr) *error = 0;
  if (site_ == nullptr) return false;
  // The browser answers later, if at all: the add-in gets null now.
  const Json::Value json;
  const bool answer = site_->readValue(name, json);
  if (value != nullptr) jsonToNativeVariant(json, *value);
  return answer;
}

bool AdapterNative::write(const char16_t* name, const NativeVariant* value) {
  if (site_ == nullptr) return false;
  // A value with no JSON form goes out as null.
  Json::Value json;
  if (value != nullptr) nativeVariantToJson(*value, json);
  return site_->writeValue(name, json);
}

bool AdapterNative::registerProfileAs(const char16_t* name) {
  return site_ != nullptr && site_->registerProfileAs(name);
}

bool AdapterNative::setEventBufferDepth(std::int32_t depth) {
  if (site_ == nullptr) return false;
  site_->eventBufferDepth = depth;
  return true;
}

std::int32_t AdapterNative::getEventBufferDepth() {
  return site_ == nullptr ? 0 : site_->eventBufferDepth.load();
}

bool AdapterNative::externalEvent(const char16_t* source, const char16_t* message,
                                  const char16_t* data) {
  if (site_ == nullptr) return false;
  site_->externalEvent(source, message, data);
  return true;
}

bool AdapterNative::setStatusLine(const char16_t* text) {
  if (site_ == nullptr) return false;
  site_->setStatusLine(text);
  return true;
}

void AdapterNative::resetStatusLine() {
  if (site_ != nullptr) site_->resetStatusLine();
}

bool AdapterNative::askYesNo(const char16_t* question, NativeVariant* answer) {
  if (site_ == nullptr) return false;
  Json::Value choice;
  const bool shown = site_->confirmBox(question, choice);
  if (answer != nullptr) jsonToNativeVariant(choice, *answer);
  return shown;
}

bool AdapterNative::showMessage(const char16_t* text) {
  return site_ != nullptr && site_->alertBox(text);
}

const abi::PlatformInfoRecord* AdapterNative::platformInfo() {
  if (site_ == nullptr) return nullptr;
  const HostInfo info = hostInfo();
  versionText_ = toUtf16(info.platformVersion);
  userAgentText_ = toUtf16(info.platformUserAgent);
  platformRecord_ = {versionText_.c_str(), userAgentText_.c_str(), abi::APPLICATION_KIND};
  return &platformRecord_;
}

}  // namespace marrowel
