#pragma once
// The host's interfaces toward an add-in object, as the object sees them: four
// parts inside each AdapterNative, each beginning with a pointer to a static
// table of host functions that take the part as hidden first argument.
//
// HostParts holds the four parts in the order add-ins expect (host connection,
// memory manager, platform information, message boxes) followed by a pointer
// back to the adapter, so a host function gets from the part it was called
// through to its adapter by a fixed offset. The parts live exactly as long as
// their adapter.
//
// Every host function catches everything and answers its failure value: an
// add-in built by another compiler cannot unwind the host's exceptions. The
// memory functions and interfaceOf use no adapter state and may be called from
// any thread.

#include <cstddef>
#include <cstdint>

#include "native/abi.h"
#include "values/native_variant.h"

namespace marrowel {
class AdapterNative;
}

namespace marrowel::abi {

struct IAddInDefBaseEx;
struct IMemoryManager;
struct IPlatformInfoN;
struct IMsgBoxN;

// Kinds that interfaceOf answers.
constexpr std::int32_t INTERFACE_MSG_BOX = 0;
constexpr std::int32_t INTERFACE_PLATFORM_INFO = 1;

// The application kind reported in PlatformInfoRecord.
constexpr std::int32_t APPLICATION_KIND = 2;

struct AddInDefBaseExTable {
  ReservedEntry destructor[DESTRUCTOR_SLOTS];
  bool(MARROWEL_ADDIN_CALL* AddError)(IAddInDefBaseEx* self, std::uint16_t code,
                                      const char16_t* source, const char16_t* description,
                                      std::int32_t status);
  // The fourth argument is pointer-sized and unused.
  bool(MARROWEL_ADDIN_CALL* Read)(IAddInDefBaseEx* self, const char16_t* name, NativeVariant* value,
                                  std::int32_t* error, void* unused);
  bool(MARROWEL_ADDIN_CALL* Write)(IAddInDefBaseEx* self, const char16_t* name,
                                   NativeVariant* value);
  bool(MARROWEL_ADDIN_CALL* RegisterProfileAs)(IAddInDefBaseEx* self, const char16_t* name);
  bool(MARROWEL_ADDIN_CALL* SetEventBufferDepth)(IAddInDefBaseEx* self, std::int32_t depth);
  std::int32_t(MARROWEL_ADDIN_CALL* GetEventBufferDepth)(IAddInDefBaseEx* self);
  bool(MARROWEL_ADDIN_CALL* ExternalEvent)(IAddInDefBaseEx* self, const char16_t* source,
                                           const char16_t* message, const char16_t* data);
  void(MARROWEL_ADDIN_CALL* CleanEventBuffer)(IAddInDefBaseEx* self);
  bool(MARROWEL_ADDIN_CALL* SetStatusLine)(IAddInDefBaseEx* self, const char16_t* text);
  void(MARROWEL_ADDIN_CALL* ResetStatusLine)(IAddInDefBaseEx* self);
  // The IInterface position of the part of `kind`, or null.
  void*(MARROWEL_ADDIN_CALL* interfaceOf)(IAddInDefBaseEx* self, std::int32_t kind);
};

struct MemoryManagerTable {
  ReservedEntry destructor[DESTRUCTOR_SLOTS];
  // *target receives a host-heap block (distinct even for size 0); false when
  // target is null or the heap is exhausted.
  bool(MARROWEL_ADDIN_CALL* allocateBlock)(IMemoryManager* self, void** target, std::uint32_t size);
  // Frees *target; the pointer itself is left as it was.
  void(MARROWEL_ADDIN_CALL* freeBlock)(IMemoryManager* self, void** target);
};

// The two tables below have no destructor entry.
struct MsgBoxTable {
  bool(MARROWEL_ADDIN_CALL* askYesNo)(IMsgBoxN* self, const char16_t* question,
                                      NativeVariant* answer);
  bool(MARROWEL_ADDIN_CALL* showMessage)(IMsgBoxN* self, const char16_t* text);
};

struct PlatformInfoTable {
  const PlatformInfoRecord*(MARROWEL_ADDIN_CALL* platformInfo)(IPlatformInfoN* self);
};

// The empty base that add-ins receive from interfaceOf, one pointer into its
// part. Given a pointer's room so that position stays inside the part.
struct IInterface {
  const void* unused;
};

struct IAddInDefBaseEx {
  const AddInDefBaseExTable* table;
};
struct IMemoryManager {
  const MemoryManagerTable* table;
};
struct IPlatformInfoN {
  const PlatformInfoTable* table;
  IInterface base;
};
struct IMsgBoxN {
  const MsgBoxTable* table;
  IInterface base;
};

MARROWEL_PIN_SLOT(AddInDefBaseExTable, AddError, slotIndex(1));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, Read, slotIndex(2));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, Write, slotIndex(3));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, RegisterProfileAs, slotIndex(4));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, SetEventBufferDepth, slotIndex(5));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, GetEventBufferDepth, slotIndex(6));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, ExternalEvent, slotIndex(7));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, CleanEventBuffer, slotIndex(8));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, SetStatusLine, slotIndex(9));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, ResetStatusLine, slotIndex(10));
MARROWEL_PIN_SLOT(AddInDefBaseExTable, interfaceOf, slotIndex(11));
MARROWEL_PIN_SLOT(MemoryManagerTable, allocateBlock, slotIndex(1));
MARROWEL_PIN_SLOT(MemoryManagerTable, freeBlock, slotIndex(2));
MARROWEL_PIN_SLOT(MsgBoxTable, askYesNo, 0);
MARROWEL_PIN_SLOT(MsgBoxTable, showMessage, 1);
MARROWEL_PIN_SLOT(PlatformInfoTable, platformInfo, 0);
MARROWEL_PIN_SLOT(IPlatformInfoN, base, 1);
MARROWEL_PIN_SLOT(IMsgBoxN, base, 1);

#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
static_assert(sizeof(AddInDefBaseExTable) == 48 && offsetof(AddInDefBaseExTable, interfaceOf) == 44,
              "win32 host connection table: 12 slots");
static_assert(sizeof(MemoryManagerTable) == 12 && offsetof(MemoryManagerTable, freeBlock) == 8,
              "win32 memory manager table: 3 slots");
#endif

}  // namespace marrowel::abi

namespace marrowel {

// The parts one adapter hands out, in their order in memory.
struct HostParts {
  abi::IAddInDefBaseEx defBase;
  abi::IMemoryManager memoryManager;
  abi::IPlatformInfoN platformInfo;
  abi::IMsgBoxN msgBox;
  AdapterNative* owner;
};

MARROWEL_PIN_SLOT(HostParts, defBase, 0);
MARROWEL_PIN_SLOT(HostParts, memoryManager, 1);
MARROWEL_PIN_SLOT(HostParts, platformInfo, 2);
MARROWEL_PIN_SLOT(HostParts, msgBox, 4);

// Points each part at its table and the parts at `owner`.
void bindHostParts(HostParts& parts, AdapterNative* owner);

}  // namespace marrowel
