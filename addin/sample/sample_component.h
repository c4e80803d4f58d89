// The sample add-in object: one class of C++ object behind both of the
// library's classes, which differ only in name, extension name and version.
// It offers a property of every value kind and of every access, procedures and
// functions with zero to four parameters (some with defaults, some changing
// their arguments in place, one that always fails), and a method for every
// host service, including events raised from a thread of its own.
//
// Every object keeps its own state; several may live at once. Calls from the
// host arrive on one thread; the event thread only calls the host interface,
// and it is joined before the object ends.
#ifndef QUILLBOX_SAMPLE_COMPONENT_H
#define QUILLBOX_SAMPLE_COMPONENT_H

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "quillbox_addin.h"
#include "sample_values.h"

namespace sample {

struct SampleClass {
  const char16_t* name;       // as GetClassNames lists it
  const char16_t* extension;  // reported through reportExtensionName
  std::int32_t version;
};

// Faults the fixture libraries build in.
struct SampleOptions {
  bool refuseHost = false;         // attachHost answers false
  bool refuseMemory = false;       // attachMemoryManager answers false
  bool releaseOnShutdown = false;  // the library has no DestroyObject
};

class SampleComponent final : public quillbox::Component {
 public:
  SampleComponent(const SampleClass& sampleClass, std::u16string createdAs,
                  SampleOptions options);
  ~SampleComponent() override;

 protected:
  bool attachHost(quillbox::IAddInDefBaseEx* host) override;
  bool attachMemoryManager(quillbox::IMemoryManager* memory) override;
  std::int32_t componentVersion() override { return class_.version; }
  void shutdown() override;
  const char16_t* extensionName() override { return class_.extension; }

  std::int32_t lookupProperty(const char16_t* name) override;
  bool readProperty(std::int32_t property, quillbox::NativeVariant& value) override;
  bool writeProperty(std::int32_t property, quillbox::NativeVariant& value) override;
  bool canReadProperty(std::int32_t property) override;
  bool canWriteProperty(std::int32_t property) override;

  std::int32_t lookupMethod(const char16_t* name) override;
  std::int32_t countParameters(std::int32_t method) override;
  bool parameterDefaultValue(std::int32_t method, std::int32_t parameter,
                             quillbox::NativeVariant& value) override;
  bool methodReturnsValue(std::int32_t method) override;
  bool invoke(std::int32_t method, quillbox::NativeVariant* result,
              quillbox::NativeVariant* values, std::int32_t count) override;

  void changeLocale(const char16_t* locale) override { locale_ = locale; }

 private:
  // Writes `value` into `record` (which must own nothing) with any text or
  // bytes in a fresh host block; false when the host gives no block.
  bool fillRecord(const StoredValue& value, quillbox::NativeVariant& record);
  bool fillWide(const std::u16string& text, quillbox::NativeVariant& record);
  void fillInt32(std::int32_t number, quillbox::NativeVariant& record);
  void fillBool(bool flag, quillbox::NativeVariant& record);

  bool callMethod(std::int32_t method, quillbox::NativeVariant& result,
                  quillbox::NativeVariant* values, std::int32_t count);
  bool callHostService(std::int32_t method, quillbox::NativeVariant& result,
                       quillbox::NativeVariant* values);
  bool bump(quillbox::NativeVariant* values);
  bool startEventThread(std::int64_t count, std::int64_t size);
  void joinEventThread();

  const SampleClass& class_;
  const std::u16string createdAs_;
  const SampleOptions options_;
  std::vector<std::u16string> attachLog_;
  std::u16string locale_;
  std::vector<StoredValue> properties_;  // by property index; typed ones only
  StoredValue writeOnly_;
  std::int32_t counter_ = 0;
  std::int32_t lastReadError_ = -1;
  // Target of the references the sample hands out; the host frees the text
  // inside it when it releases the reference, never the record itself.
  quillbox::NativeVariant referenced_ = StoredValue::zeroed();
  std::thread eventThread_;
};

}  // namespace sample

#endif  // QUILLBOX_SAMPLE_COMPONENT_H
