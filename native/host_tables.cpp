#include "native/host_tables.h"

#include <type_traits>

#include "native/adapter_native.h"
#include "values/heap.h"

namespace marrowel {
namespace {

static_assert(std::is_standard_layout<HostParts>::value,
              "a part's adapter is found by the part's offset");

template <class Part>
HostParts& partsOf(Part* part, std::size_t offset) {
  return *reinterpret_cast<HostParts*>(reinterpret_cast<char*>(part) - offset);
}

AdapterNative& adapterOf(abi::IAddInDefBaseEx* part) {
  return *partsOf(part, offsetof(HostParts, defBase)).owner;
}
AdapterNative& adapterOf(abi::IPlatformInfoN* part) {
  return *partsOf(part, offsetof(HostParts, platformInfo)).owner;
}
AdapterNative& adapterOf(abi::IMsgBoxN* part) {
  return *partsOf(part, offsetof(HostParts, msgBox)).owner;
}

// No exception may cross into an add-in built by another compiler: every
// entry answers its failure value instead.
template <class Failure, class Call>
auto guarded(Failure failure, Call call) noexcept -> decltype(call()) {
  try {
    return call();
  } catch (...) {
    return failure;
  }
}

template <class Call>
void guarded(Call call) noexcept {
  try {
    call();
  } catch (...) {
  }
}

// IAddInDefBaseEx

bool MARROWEL_ADDIN_CALL addError(abi::IAddInDefBaseEx* self, std::uint16_t code,
                                  const char16_t* source, const char16_t* description,
                                  std::int32_t status) {
  return guarded(false,
                 [&] { return adapterOf(self).addError(code, source, description, status); });
}

bool MARROWEL_ADDIN_CALL read(abi::IAddInDefBaseEx* self, const char16_t* name,
                              NativeVariant* value, std::int32_t* error, void*) {
  return guarded(false, [&] { return adapterOf(self).read(name, value, error); });
}

bool MARROWEL_ADDIN_CALL write(abi::IAddInDefBaseEx* self, const char16_t* name,
                               NativeVariant* value) {
  return guarded(false, [&] { return adapterOf(self).write(name, value); });
}

bool MARROWEL_ADDIN_CALL registerProfileAs(abi::IAddInDefBaseEx* self, const char16_t* name) {
  return guarded(false, [&] { return adapterOf(self).registerProfileAs(name); });
}

bool MARROWEL_ADDIN_CALL setEventBufferDepth(abi::IAddInDefBaseEx* self, std::int32_t depth) {
  return guarded(false, [&] { return adapterOf(self).setEventBufferDepth(depth); });
}

std::int32_t MARROWEL_ADDIN_CALL getEventBufferDepth(abi::IAddInDefBaseEx* self) {
  return guarded(0, [&] { return adapterOf(self).getEventBufferDepth(); });
}

bool MARROWEL_ADDIN_CALL externalEvent(abi::IAddInDefBaseEx* self, const char16_t* source,
                                       const char16_t* message, const char16_t* data) {
  return guarded(false, [&] { return adapterOf(self).externalEvent(source, message, data); });
}

void MARROWEL_ADDIN_CALL cleanEventBuffer(abi::IAddInDefBaseEx*) {}

bool MARROWEL_ADDIN_CALL setStatusLine(abi::IAddInDefBaseEx* self, const char16_t* text) {
  return guarded(false, [&] { return adapterOf(self).setStatusLine(text); });
}

void MARROWEL_ADDIN_CALL resetStatusLine(abi::IAddInDefBaseEx* self) {
  guarded([&] { adapterOf(self).resetStatusLine(); });
}

void* MARROWEL_ADDIN_CALL interfaceOf(abi::IAddInDefBaseEx* self, std::int32_t kind) {
  HostParts& parts = partsOf(self, offsetof(HostParts, defBase));
  switch (kind) {
    case abi::INTERFACE_MSG_BOX: return &parts.msgBox.base;
    case abi::INTERFACE_PLATFORM_INFO: return &parts.platformInfo.base;
    default: return nullptr;
  }
}

// IMemoryManager

bool MARROWEL_ADDIN_CALL allocateBlock(abi::IMemoryManager*, void** target, std::uint32_t size) {
  if (target == nullptr) return false;
  *target = allocateHostBlock(size);
  return *target != nullptr;
}

void MARROWEL_ADDIN_CALL freeBlock(abi::IMemoryManager*, void** target) {
  if (target != nullptr) freeHostBlock(*target);
}

// IPlatformInfoN

const abi::PlatformInfoRecord* MARROWEL_ADDIN_CALL platformInfo(abi::IPlatformInfoN* self) {
  return guarded(nullptr, [&] { return adapterOf(self).platformInfo(); });
}

// IMsgBoxN

bool MARROWEL_ADDIN_CALL askYesNo(abi::IMsgBoxN* self, const char16_t* question,
                                  NativeVariant* answer) {
  return guarded(false, [&] { return adapterOf(self).askYesNo(question, answer); });
}

bool MARROWEL_ADDIN_CALL showMessage(abi::IMsgBoxN* self, const char16_t* text) {
  return guarded(false, [&] { return adapterOf(self).showMessage(text); });
}

// Destructor entries stay null: no add-in may end the host's object, and a
// call fails at once rather than running with the wrong arguments.
const abi::AddInDefBaseExTable DEF_BASE_TABLE = {{},
                                                 &addError,
                                                 &read,
                                                 &write,
                                                 &registerProfileAs,
                                                 &setEventBufferDepth,
                                                 &getEventBufferDepth,
                                                 &externalEvent,
                                                 &cleanEventBuffer,
                                                 &setStatusLine,
                                                 &resetStatusLine,
                                                 &interfaceOf};
const abi::MemoryManagerTable MEMORY_MANAGER_TABLE = {{}, &allocateBlock, &freeBlock};
const abi::PlatformInfoTable PLATFORM_INFO_TABLE = {&platformInfo};
const abi::MsgBoxTable MSG_BOX_TABLE = {&askYesNo, &showMessage};

}  // namespace

void bindHostParts(HostParts& parts, AdapterNative* owner) {
  parts.defBase.table = &DEF_BASE_TABLE;
  parts.memoryManager.table = &MEMORY_MANAGER_TABLE;
  parts.platformInfo = {&PLATFORM_INFO_TABLE, {nullptr}};
  parts.msgBox = {&MSG_BOX_TABLE, {nullptr}};
  parts.owner = owner;
}

}  // namespace marrowel
