// Exports of the sample add-in library. The fixture libraries are built from
// the same sources with one SAMPLE_* definition each, naming the fault they
// show; without any definition this is QuillboxAddIn itself.
#include "quillbox_addin.h"
#include "sample_component.h"

namespace {

using sample::SampleClass;

#if defined(SAMPLE_NO_OBJECT)
constexpr bool REFUSE_OBJECTS = true;
#else
constexpr bool REFUSE_OBJECTS = false;
#endif

#if defined(SAMPLE_NO_CLASS_NAMES)
// The host then asks for the library path; "ClassName" shows what came.
constexpr bool ANY_NAME_IS_SAMPLE = true;
#else
constexpr bool ANY_NAME_IS_SAMPLE = false;
#endif

// Versions on both sides of the 1000-1999 range, where the host hands out
// one shared object per class instead of a new one per request.
const SampleClass CLASSES[] = {
    {u"Sample", u"Sample", 2000},
    {u"Events", u"Events", 1500},
};

const SampleClass* findClass(const char16_t* name) {
  for (const SampleClass& candidate : CLASSES) {
    if (quillbox::sameText(candidate.name, name)) return &candidate;
  }
  return ANY_NAME_IS_SAMPLE ? &CLASSES[0] : nullptr;
}

sample::SampleOptions fixtureOptions() {
  sample::SampleOptions options;
#if defined(SAMPLE_REFUSE_HOST)
  options.refuseHost = true;
#endif
#if defined(SAMPLE_REFUSE_MEMORY)
  options.refuseMemory = true;
#endif
#if defined(SAMPLE_NO_DESTROY_OBJECT)
  options.releaseOnShutdown = true;
#endif
  return options;
}

[[maybe_unused]] long createObject(const char16_t* name, void** object) {
  if (REFUSE_OBJECTS || object == nullptr) return 0;
  const SampleClass* sampleClass = findClass(name);
  if (sampleClass == nullptr) return 0;
  try {
    auto* component = new sample::SampleComponent(*sampleClass, name == nullptr ? u"" : name,
                                                   fixtureOptions());
    *object = component->boundaryObject();
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace

#if !defined(SAMPLE_NO_CLASS_NAMES)
QUILLBOX_EXPORT const char16_t* GetClassNames() {
#if defined(SAMPLE_NULL_CLASS_NAMES)
  return nullptr;
#elif defined(SAMPLE_DUPLICATE_CLASS_NAMES)
  return u"Sample|Sample|";
#else
  return u"Sample|Events";
#endif
}
#endif

#if !defined(SAMPLE_NO_GET_CLASS_OBJECT)
QUILLBOX_EXPORT long GetClassObject(const char16_t* name, void** object) {
  return createObject(name, object);
}
#endif

#if !defined(SAMPLE_NO_CAPABILITIES)
QUILLBOX_EXPORT std::int32_t SetPlatformCapabilities(std::int32_t level) {
#if defined(SAMPLE_REFUSE_CAPABILITIES)
  (void)level;
  return -1;
#else
  return level;
#endif
}
#endif

#if !defined(SAMPLE_NO_DESTROY_OBJECT)
QUILLBOX_EXPORT long DestroyObject(void** object) {
  if (object == nullptr || *object == nullptr) return -1;
  delete quillbox::Component::fromBoundaryObject(*object);
  *object = nullptr;
  return 0;
}
#endif
