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

// IAddInDefBaseEx

bool MARROWEL_ADDIN_CALL addError(abi::IAddInDefBaseEx* self, std::uint16_t code,
                                  const char16_t* source, const char16_t* description,
                                  std::int32_t status) {
  try {
    return adapterOf(self).addError(code, source, description, status);
  } catch (...) {
    return false;
  }
}

bool MARROWEL_ADDIN_CALL read(abi::IAddInDefBaseEx* self, const char16_t* name,
                              NativeVariant* value, std::int32_t* error, void*) {
  try {
    return adapterOf(self).read(name, value, error);
  } catch (...) {
    return false;
  }
}

bool MARROWEL_ADDIN_CALL write(abi::IAddInDefBaseEx* self, const char16_t* name,
                               NativeVariant* value) {
  try {
    return adapterOf(self).write(name, value);
  } catch (...) {
    return false;
  }
}

bool MARROWEL_ADDIN_CALL registerProfileAs(abi::IAddInDefBaseEx* self, const char16_t* name) {
  try {
    return adapterOf(self).registerProfileAs(name);
  } catch (...) {
    return false;
  }
}

bool MARROWEL_ADDIN_CALL setEventBufferDepth(abi::IAddInDefBaseEx* self, std::int32_t depth) {
  try {
    return adapterOf(self).setEventBufferDepth(depth);
  } catch (...) {
    return false;
  }
}

std::int32_t MARROWEL_ADDIN_CALL getEventBufferDepth(abi::IAddInDefBaseEx* self) {
  try {
    return adapterOf(self).getEventBufferDepth();
  } catch (...) {
    return 0;
  }
}

bool MARROWEL_ADDIN_CALL externalEvent(abi::IAddInDefBaseEx* self, const char16_t* source,
                                       const char16_t* message, const char16_t* data) {
  try {
    return adapterOf(self).externalEvent(source, message, data);
  } catch (...) {
    return false;
  }
}

void MARROWEL_ADDIN_CALL cleanEventBuffer(abi::IAddInDefBaseEx*) {}

bool MARROWEL_ADDIN_CALL setStatusLine(abi::IAddInDefBaseEx* self, const char16_t* text) {
  try {
    return adapterOf(self).setStatusLine(text);
  } catch (...) {
    return false;
  }
}

void MARROWEL_ADDIN_CALL resetStatusLine(abi::IAddInDefBaseEx* self) {
  try {
    adapterOf(self).resetStatusLine();
  } catch (...) {
  }
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
  try {
    return adapterOf(self).platformInfo();
  } catch (...) {
    return nullptr;
  }
}

// IMsgBoxN

bool MARROWEL_ADDIN_CALL askYesNo(abi::IMsgBoxN* self, const char16_t* question,
                                  NativeVariant* answer) {
  try {
    return adapterOf(self).askYesNo(question, answer);
  } catch (...) {
    return false;
  }
}

bool MARROWEL_ADDIN_CALL showMessage(abi::IMsgBoxN* self, const char16_t* text) {
  try {
    return adapterOf(self).showMessage(text);
  } catch (...) {
    return false;
  }
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
