#pragma once
// The host's side of the binary boundary toward add-in libraries: the calling
// convention, the destructor entries at the head of a table, the library's
// exports and the three interface parts of an add-in object. The host's own
// interface tables are in native/host_tables.h.
//
// Only plain records and tables of function pointers cross the boundary:
// compilers disagree on how a C++ vtable is laid out (GCC and Clang give a
// virtual destructor two entries, the Windows compilers one), so each table is
// spelt out here with its slot positions pinned.

#include <cstddef>
#include <cstdint>

#include "values/native_variant.h"

// Interface functions on both sides: stdcall on every 32-bit x86 build, so
// that linux32 runs what win32 ships; the platform default on 64-bit.
#if defined(__i386__) || defined(_M_IX86)
#if defined(_MSC_VER)
#define MARROWEL_ADDIN_CALL __stdcall
#else
#define MARROWEL_ADDIN_CALL __attribute__((stdcall))
#endif
#else
#define MARROWEL_ADDIN_CALL
#endif

namespace marrowel::abi {

// Entries that a table beginning with a destructor reserves for it: one from
// the Windows compilers, two (complete and deleting) from GCC and Clang, which
// build the add-ins on Linux.
#if defined(_WIN32)
constexpr int DESTRUCTOR_SLOTS = 1;
#else
constexpr int DESTRUCTOR_SLOTS = 2;
#endif

// Position of listed slot `slot` in a table whose slot 0 is a destructor.
constexpr int slotIndex(int slot) { return slot == 0 ? 0 : slot - 1 + DESTRUCTOR_SLOTS; }

// Never called by the host; keeps the following slots in place.
using ReservedEntry = void(MARROWEL_ADDIN_CALL*)(void* self);

// ---------------------------------------------------------------------------
// Library exports: extern "C", cdecl, undecorated names.

constexpr const char* GET_CLASS_NAMES = "GetClassNames";
constexpr const char* GET_CLASS_OBJECT = "GetClassObject";
constexpr const char* SET_PLATFORM_CAPABILITIES = "SetPlatformCapabilities";
constexpr const char* DESTROY_OBJECT = "DestroyObject";

// Class names separated by '|', owned by the library.
using GetClassNamesFunction = const char16_t* (*)();
// Nonzero when *object received a new object.
using GetClassObjectFunction = long (*)(const char16_t* name, void** object);
// The level granted; -1 refuses it.
using SetPlatformCapabilitiesFunction = std::int32_t (*)(std::int32_t level);
// Ends the object at *object; the result means nothing to the host.
using DestroyObjectFunction = long (*)(void** object);

// The level the host asks for: with it the object gets the host connection.
constexpr std::int32_t CAPABILITY_LEVEL = 1;
constexpr std::int32_t CAPABILITY_REFUSED = -1;

// ---------------------------------------------------------------------------
// The add-in object: three parts at consecutive pointer offsets, each starting
// with a pointer to its table. The host never calls slot 0 of any of them.

struct ObjectLifecycle;
struct ObjectExtension;
struct ObjectLocale;
struct IAddInDefBaseEx;
struct IMemoryManager;

struct ObjectLifecycleTable {
  ReservedEntry destructor[DESTRUCTOR_SLOTS];
  bool(MARROWEL_ADDIN_CALL* attachHost)(ObjectLifecycle* self, IAddInDefBaseEx* host);
  bool(MARROWEL_ADDIN_CALL* attachMemoryManager)(ObjectLifecycle* self, IMemoryManager* memory);
  std::int32_t(MARROWEL_ADDIN_CALL* componentVersion)(ObjectLifecycle* self);
  void(MARROWEL_ADDIN_CALL* shutdown)(ObjectLifecycle* self);
};

struct ObjectExtensionTable {
  ReservedEntry destructor[DESTRUCTOR_SLOTS];
  // *name receives a block from the host's memory manager.
  bool(MARROWEL_ADDIN_CALL* reportExtensionName)(ObjectExtension* self, char16_t** name);
  ReservedEntry slot2;
  std::int32_t(MARROWEL_ADDIN_CALL* lookupProperty)(ObjectExtension* self, const char16_t* name);
  ReservedEntry slot4;
  bool(MARROWEL_ADDIN_CALL* readProperty)(ObjectExtension* self, std::int32_t property,
                                          NativeVariant* value);
  bool(MARROWEL_ADDIN_CALL* writeProperty)(ObjectExtension* self, std::int32_t property,
                                           NativeVariant* value);
  bool(MARROWEL_ADDIN_CALL* canReadProperty)(ObjectExtension* self, std::int32_t property);
  bool(MARROWEL_ADDIN_CALL* canWriteProperty)(ObjectExtension* self, std::int32_t property);
  ReservedEntry slot9;
  std::int32_t(MARROWEL_ADDIN_CALL* lookupMethod)(ObjectExtension* self, const char16_t* name);
  ReservedEntry slot11;
  std::int32_t(MARROWEL_ADDIN_CALL* countParameters)(ObjectExtension* self, std::int32_t method);
  bool(MARROWEL_ADDIN_CALL* parameterDefaultValue)(ObjectExtension* self, std::int32_t method,
                                                   std::int32_t parameter, NativeVariant* value);
  bool(MARROWEL_ADDIN_CALL* methodReturnsValue)(ObjectExtension* self, std::int32_t method);
  // `values` is null when count is 0.
  bool(MARROWEL_ADDIN_CALL* invokeProcedure)(ObjectExtension* self, std::int32_t method,
                                             NativeVariant* values, std::int32_t count);
  bool(MARROWEL_ADDIN_CALL* invokeFunction)(ObjectExtension* self, std::int32_t method,
                                            NativeVariant* result, NativeVariant* values,
                                            std::int32_t count);
};

struct ObjectLocaleTable {
  ReservedEntry destructor[DESTRUCTOR_SLOTS];
  void(MARROWEL_ADDIN_CALL* changeLocale)(ObjectLocale* self, const char16_t* locale);
};

struct ObjectLifecycle {
  const ObjectLifecycleTable* table;
};
struct ObjectExtension {
  const ObjectExtensionTable* table;
};
struct ObjectLocale {
  const ObjectLocaleTable* table;
};

// How the host reads the pointer that GetClassObject stores.
struct ObjectParts {
  ObjectLifecycle lifecycle;
  ObjectExtension extension;
  ObjectLocale locale;
};

// ---------------------------------------------------------------------------
// Platform information handed to add-ins; naturally aligned.

struct PlatformInfoRecord {
  const char16_t* version;
  const char16_t* userAgent;
  std::int32_t applicationKind;
};

// Every table entry sits at its slot times one pointer.
#define MARROWEL_PIN_SLOT(table, member, index) \
  static_assert(offsetof(table, member) == (index) * sizeof(void*), #table "::" #member)
MARROWEL_PIN_SLOT(ObjectLifecycleTable, attachHost, slotIndex(1));
MARROWEL_PIN_SLOT(ObjectLifecycleTable, attachMemoryManager, slotIndex(2));
MARROWEL_PIN_SLOT(ObjectLifecycleTable, componentVersion, slotIndex(3));
MARROWEL_PIN_SLOT(ObjectLifecycleTable, shutdown, slotIndex(4));
MARROWEL_PIN_SLOT(ObjectExtensionTable, reportExtensionName, slotIndex(1));
MARROWEL_PIN_SLOT(ObjectExtensionTable, lookupProperty, slotIndex(3));
MARROWEL_PIN_SLOT(ObjectExtensionTable, readProperty, slotIndex(5));
MARROWEL_PIN_SLOT(ObjectExtensionTable, writeProperty, slotIndex(6));
MARROWEL_PIN_SLOT(ObjectExtensionTable, canReadProperty, slotIndex(7));
MARROWEL_PIN_SLOT(ObjectExtensionTable, canWriteProperty, slotIndex(8));
MARROWEL_PIN_SLOT(ObjectExtensionTable, lookupMethod, slotIndex(10));
MARROWEL_PIN_SLOT(ObjectExtensionTable, countParameters, slotIndex(12));
MARROWEL_PIN_SLOT(ObjectExtensionTable, parameterDefaultValue, slotIndex(13));
MARROWEL_PIN_SLOT(ObjectExtensionTable, methodReturnsValue, slotIndex(14));
MARROWEL_PIN_SLOT(ObjectExtensionTable, invokeProcedure, slotIndex(15));
MARROWEL_PIN_SLOT(ObjectExtensionTable, invokeFunction, slotIndex(16));
MARROWEL_PIN_SLOT(ObjectLocaleTable, changeLocale, slotIndex(1));
MARROWEL_PIN_SLOT(ObjectParts, lifecycle, 0);
MARROWEL_PIN_SLOT(ObjectParts, extension, 1);
MARROWEL_PIN_SLOT(ObjectParts, locale, 2);

static_assert(sizeof(ObjectExtensionTable) == (slotIndex(16) + 1) * sizeof(void*),
              "no slot after invokeFunction");
static_assert(offsetof(PlatformInfoRecord, userAgent) == sizeof(void*) &&
                  offsetof(PlatformInfoRecord, applicationKind) == 2 * sizeof(void*),
              "platform information: two text pointers, then the kind");

// win32 cannot run here, so its layout is pinned at compile time: 4-byte
// slots, one destructor entry, 12-byte platform record.
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
static_assert(sizeof(void*) == 4 && DESTRUCTOR_SLOTS == 1, "win32 tables");
static_assert(offsetof(ObjectLifecycleTable, shutdown) == 16, "win32 shutdown slot");
static_assert(offsetof(ObjectExtensionTable, invokeFunction) == 64 &&
                  sizeof(ObjectExtensionTable) == 68,
              "win32 extension table");
static_assert(sizeof(PlatformInfoRecord) == 12, "win32 platform record");
#endif

}  // namespace marrowel::abi
