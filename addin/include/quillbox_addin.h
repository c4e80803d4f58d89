// The add-in side of the binary boundary between a Quillbox host and an add-in
// library: the value record, the host's interface tables, the three interface
// parts of an add-in object, and the library's exports.
//
// Only plain records and tables of function pointers cross the boundary, never
// C++ virtual classes, so an add-in built with any compiler meets the host's
// layout. Every boundary function uses QUILLBOX_CALL (stdcall on 32-bit x86,
// the platform default elsewhere) and takes the interface part it was reached
// through as hidden first argument. Exports are extern "C", cdecl, with
// undecorated names.
//
// Ownership: texts and data an add-in hands back to the host (values it fills,
// its extension name) live in blocks from the host's IMemoryManager; the host
// frees them. Records the host passes in belong to the host; an add-in that
// replaces a buffer inside one frees the old buffer through freeBlock.
//
// Thread-safety: the host interfaces may be called from any thread of the
// add-in. The convenience class Component at the end takes no locks itself.
//
// Self-contained: depends on nothing but <cstddef>, <cstdint> and <ctime>.
#ifndef QUILLBOX_ADDIN_H
#define QUILLBOX_ADDIN_H

#include <cstddef>
#include <cstdint>
#include <ctime>

// ---------------------------------------------------------------------------
// Calling convention, exports, destructor entries

#if defined(__i386__) || defined(_M_IX86)
#define QUILLBOX_X86_32 1
#if defined(_MSC_VER)
#define QUILLBOX_CALL __stdcall
#else
#define QUILLBOX_CALL __attribute__((stdcall))
#endif
#else
#define QUILLBOX_X86_32 0
#define QUILLBOX_CALL
#endif

#if defined(_WIN32)
#define QUILLBOX_EXPORT extern "C" __declspec(dllexport)
#else
#define QUILLBOX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Entries a table reserves for a destructor in its slot 0: the Windows
// compilers emit one, GCC and Clang two (complete and deleting). Every listed
// slot after it moves by the difference.
#if defined(_WIN32)
#define QUILLBOX_DTOR_SLOTS 1
#else
#define QUILLBOX_DTOR_SLOTS 2
#endif

namespace quillbox {

constexpr int DTOR_SLOTS = QUILLBOX_DTOR_SLOTS;

// Index of listed slot `slot` in a table that begins with a destructor.
constexpr int slotIndex(int slot) { return slot == 0 ? 0 : slot - 1 + DTOR_SLOTS; }

// Never called by either side; present to keep the slots that follow in place.
using ReservedEntry = void(QUILLBOX_CALL*)(void* self);

// ---------------------------------------------------------------------------
// Value record

constexpr std::uint16_t TYPE_EMPTY = 0;
constexpr std::uint16_t TYPE_NULL = 1;
constexpr std::uint16_t TYPE_INT32 = 3;
constexpr std::uint16_t TYPE_FLOAT = 4;
constexpr std::uint16_t TYPE_DOUBLE = 5;
constexpr std::uint16_t TYPE_DATE = 7;
constexpr std::uint16_t TYPE_NARROW_TEXT = 8;  // system ANSI code page, NUL-terminated
constexpr std::uint16_t TYPE_BOOL = 11;
constexpr std::uint16_t TYPE_REFERENCE = 12;
constexpr std::uint16_t TYPE_UINT32 = 16;
constexpr std::uint16_t TYPE_INT = 19;
constexpr std::uint16_t TYPE_UINT = 20;
constexpr std::uint16_t TYPE_WIDE_TEXT = 22;  // UTF-16, NUL-terminated
constexpr std::uint16_t TYPE_BINARY = 23;

struct WideText {
  char16_t* text;
  std::uint32_t length;  // code units, terminator not counted
};

struct NarrowText {
  char* text;
  std::uint32_t length;  // bytes; the host reads up to the NUL instead
};

struct BinaryData {
  void* data;
  std::uint32_t length;  // bytes
};

// 32-bit builds pack to 4 so that the double does not push the record to 52
// bytes: every 32-bit add-in expects 48.
#if QUILLBOX_X86_32
#pragma pack(push, 4)
#endif
struct NativeVariant {
  union {
    std::int32_t int32Value;    // TYPE_INT32, TYPE_INT
    std::uint32_t uint32Value;  // TYPE_UINT32, TYPE_UINT
    float floatValue;
    double doubleValue;
    bool boolValue;
    std::tm dateValue;  // tm_mon 0-11, tm_year since 1900
    NativeVariant* reference;
    WideText wide;
    NarrowText narrow;
    BinaryData binary;
    char pad[44];
  };
  std::uint16_t type;
};
#if QUILLBOX_X86_32
#pragma pack(pop)
#endif

static_assert(sizeof(bool) == 1, "booleans cross the boundary as one byte");
#if QUILLBOX_X86_32
static_assert(sizeof(NativeVariant) == 48 && offsetof(NativeVariant, type) == 44,
              "32-bit value record");
#elif defined(_WIN64)
static_assert(sizeof(NativeVariant) == 56 && offsetof(NativeVariant, type) == 48,
              "win64 value record (36-byte tm)");
#elif defined(__x86_64__) && defined(__linux__)
static_assert(sizeof(NativeVariant) == 64 && offsetof(NativeVariant, type) == 56,
              "Linux x86_64 value record (56-byte tm)");
#endif

// ---------------------------------------------------------------------------
// Host interfaces. Each is a part of the host's object whose first word points
// at the table; the wrappers pass the part itself as hidden first argument.

struct IAddInDefBaseEx;
struct IMemoryManager;
struct IMsgBoxN;
struct IPlatformInfoN;

// Kinds accepted by interfaceOf.
constexpr std::int32_t INTERFACE_MSG_BOX = 0;
constexpr std::int32_t INTERFACE_PLATFORM_INFO = 1;

struct AddInDefBaseExTable {
  ReservedEntry destructor[DTOR_SLOTS];
  bool(QUILLBOX_CALL* AddError)(IAddInDefBaseEx* self, std::uint16_t code, const char16_t* source,
                                const char16_t* description, std::int32_t status);
  bool(QUILLBOX_CALL* Read)(IAddInDefBaseEx* self, const char16_t* name, NativeVariant* value,
                            std::int32_t* error, std::intptr_t unused);
  bool(QUILLBOX_CALL* Write)(IAddInDefBaseEx* self, const char16_t* name, NativeVariant* value);
  bool(QUILLBOX_CALL* RegisterProfileAs)(IAddInDefBaseEx* self, const char16_t* name);
  bool(QUILLBOX_CALL* SetEventBufferDepth)(IAddInDefBaseEx* self, std::int32_t depth);
  std::int32_t(QUILLBOX_CALL* GetEventBufferDepth)(IAddInDefBaseEx* self);
  bool(QUILLBOX_CALL* ExternalEvent)(IAddInDefBaseEx* self, const char16_t* source,
                                     const char16_t* message, const char16_t* data);
  void(QUILLBOX_CALL* CleanEventBuffer)(IAddInDefBaseEx* self);
  bool(QUILLBOX_CALL* SetStatusLine)(IAddInDefBaseEx* self, const char16_t* text);
  void(QUILLBOX_CALL* ResetStatusLine)(IAddInDefBaseEx* self);
  // Address of the requested part plus one pointer, or null for other kinds.
  void*(QUILLBOX_CALL* interfaceOf)(IAddInDefBaseEx* self, std::int32_t kind);
};

struct MemoryManagerTable {
  ReservedEntry destructor[DTOR_SLOTS];
  // Fills *target with a block of `size` bytes; false when target is null or
  // the heap is exhausted.
  bool(QUILLBOX_CALL* allocateBlock)(IMemoryManager* self, void** target, std::uint32_t size);
  // Frees *target; the pointer itself is left as it was.
  void(QUILLBOX_CALL* freeBlock)(IMemoryManager* self, void** target);
};

struct MsgBoxTable {
  // The answer becomes a TYPE_BOOL record, true for Yes.
  bool(QUILLBOX_CALL* askYesNo)(IMsgBoxN* self, const char16_t* question, NativeVariant* answer);
  bool(QUILLBOX_CALL* showMessage)(IMsgBoxN* self, const char16_t* text);
};

struct PlatformInfoRecord {
  const char16_t* version;
  const char16_t* userAgent;
  std::int32_t applicationKind;
};

struct PlatformInfoTable {
  // Valid until the next call through the same part.
  const PlatformInfoRecord*(QUILLBOX_CALL* platformInfo)(IPlatformInfoN* self);
};

struct IMsgBoxN {
  const MsgBoxTable* table;
  bool askYesNo(const char16_t* question, NativeVariant* answer) {
    return table->askYesNo(this, question, answer);
  }
  bool showMessage(const char16_t* text) { return table->showMessage(this, text); }
};

struct IPlatformInfoN {
  const PlatformInfoTable* table;
  const PlatformInfoRecord* platformInfo() { return table->platformInfo(this); }
};

// interfaceOf answers the position of the part's empty base, one pointer past
// the part's table pointer; step back to reach the part itself.
template <class Part>
Part* partFromInterface(void* base) {
  return base == nullptr ? nullptr
                         : reinterpret_cast<Part*>(static_cast<char*>(base) - sizeof(void*));
}

struct IAddInDefBaseEx {
  const AddInDefBaseExTable* table;
  bool AddError(std::uint16_t code, const char16_t* source, const char16_t* description,
                std::int32_t status) {
    return table->AddError(this, code, source, description, status);
  }
  bool Read(const char16_t* name, NativeVariant* value, std::int32_t* error) {
    return table->Read(this, name, value, error, 0);
  }
  bool Write(const char16_t* name, NativeVariant* value) { return table->Write(this, name, value); }
  bool RegisterProfileAs(const char16_t* name) { return table->RegisterProfileAs(this, name); }
  bool SetEventBufferDepth(std::int32_t depth) { return table->SetEventBufferDepth(this, depth); }
  std::int32_t GetEventBufferDepth() { return table->GetEventBufferDepth(this); }
  bool ExternalEvent(const char16_t* source, const char16_t* message, const char16_t* data) {
    return table->ExternalEvent(this, source, message, data);
  }
  void CleanEventBuffer() { table->CleanEventBuffer(this); }
  bool SetStatusLine(const char16_t* text) { return table->SetStatusLine(this, text); }
  void ResetStatusLine() { table->ResetStatusLine(this); }
  void* interfaceOf(std::int32_t kind) { return table->interfaceOf(this, kind); }
  IMsgBoxN* msgBox() { return partFromInterface<IMsgBoxN>(interfaceOf(INTERFACE_MSG_BOX)); }
  IPlatformInfoN* platformInfoPart() {
    return partFromInterface<IPlatformInfoN>(interfaceOf(INTERFACE_PLATFORM_INFO));
  }
};

struct IMemoryManager {
  const MemoryManagerTable* table;
  bool allocateBlock(void** target, std::uint32_t size) {
    return table->allocateBlock(this, target, size);
  }
  void freeBlock(void** target) { table->freeBlock(this, target); }
};

// ---------------------------------------------------------------------------
// The add-in object as the host reads it: three parts at consecutive pointer
// offsets, each pointing at its table. Slot 0 of each table is never called.

struct ObjectLifecycle;
struct ObjectExtension;
struct ObjectLocale;

struct ObjectLifecycleTable {
  ReservedEntry destructor[DTOR_SLOTS];
  // false fails the object's creation.
  bool(QUILLBOX_CALL* attachHost)(ObjectLifecycle* self, IAddInDefBaseEx* host);
  // false fails the object's creation.
  bool(QUILLBOX_CALL* attachMemoryManager)(ObjectLifecycle* self, IMemoryManager* memory);
  std::int32_t(QUILLBOX_CALL* componentVersion)(ObjectLifecycle* self);
  void(QUILLBOX_CALL* shutdown)(ObjectLifecycle* self);
};

struct ObjectExtensionTable {
  ReservedEntry destructor[DTOR_SLOTS];
  // *name receives a block from the host's memory manager; the host frees it.
  bool(QUILLBOX_CALL* reportExtensionName)(ObjectExtension* self, char16_t** name);
  ReservedEntry unused2;
  std::int32_t(QUILLBOX_CALL* lookupProperty)(ObjectExtension* self, const char16_t* name);
  ReservedEntry unused4;
  bool(QUILLBOX_CALL* readProperty)(ObjectExtension* self, std::int32_t property,
                                    NativeVariant* value);
  bool(QUILLBOX_CALL* writeProperty)(ObjectExtension* self, std::int32_t property,
                                     NativeVariant* value);
  bool(QUILLBOX_CALL* canReadProperty)(ObjectExtension* self, std::int32_t property);
  bool(QUILLBOX_CALL* canWriteProperty)(ObjectExtension* self, std::int32_t property);
  ReservedEntry unused9;
  std::int32_t(QUILLBOX_CALL* lookupMethod)(ObjectExtension* self, const char16_t* name);
  ReservedEntry unused11;
  std::int32_t(QUILLBOX_CALL* countParameters)(ObjectExtension* self, std::int32_t method);
  bool(QUILLBOX_CALL* parameterDefaultValue)(ObjectExtension* self, std::int32_t method,
                                             std::int32_t parameter, NativeVariant* value);
  bool(QUILLBOX_CALL* methodReturnsValue)(ObjectExtension* self, std::int32_t method);
  // `values` is null when count is 0; the records may be changed in place.
  bool(QUILLBOX_CALL* invokeProcedure)(ObjectExtension* self, std::int32_t method,
                                       NativeVariant* values, std::int32_t count);
  bool(QUILLBOX_CALL* invokeFunction)(ObjectExtension* self, std::int32_t method,
                                      NativeVariant* result, NativeVariant* values,
                                      std::int32_t count);
};

struct ObjectLocaleTable {
  ReservedEntry destructor[DTOR_SLOTS];
  void(QUILLBOX_CALL* changeLocale)(ObjectLocale* self, const char16_t* locale);
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

// What the host receives from GetClassObject and hands to DestroyObject.
struct ObjectParts {
  ObjectLifecycle lifecycle;
  ObjectExtension extension;
  ObjectLocale locale;
};

// Pin every listed slot: table position = slot index times one pointer.
#define QUILLBOX_PIN(table, member, index) \
  static_assert(offsetof(table, member) == (index) * sizeof(void*), #table "::" #member)
QUILLBOX_PIN(AddInDefBaseExTable, AddError, slotIndex(1));
QUILLBOX_PIN(AddInDefBaseExTable, Read, slotIndex(2));
QUILLBOX_PIN(AddInDefBaseExTable, Write, slotIndex(3));
QUILLBOX_PIN(AddInDefBaseExTable, RegisterProfileAs, slotIndex(4));
QUILLBOX_PIN(AddInDefBaseExTable, SetEventBufferDepth, slotIndex(5));
QUILLBOX_PIN(AddInDefBaseExTable, GetEventBufferDepth, slotIndex(6));
QUILLBOX_PIN(AddInDefBaseExTable, ExternalEvent, slotIndex(7));
QUILLBOX_PIN(AddInDefBaseExTable, CleanEventBuffer, slotIndex(8));
QUILLBOX_PIN(AddInDefBaseExTable, SetStatusLine, slotIndex(9));
QUILLBOX_PIN(AddInDefBaseExTable, ResetStatusLine, slotIndex(10));
QUILLBOX_PIN(AddInDefBaseExTable, interfaceOf, slotIndex(11));
QUILLBOX_PIN(MemoryManagerTable, allocateBlock, slotIndex(1));
QUILLBOX_PIN(MemoryManagerTable, freeBlock, slotIndex(2));
QUILLBOX_PIN(MsgBoxTable, askYesNo, 0);
QUILLBOX_PIN(MsgBoxTable, showMessage, 1);
QUILLBOX_PIN(PlatformInfoTable, platformInfo, 0);
QUILLBOX_PIN(ObjectLifecycleTable, attachHost, slotIndex(1));
QUILLBOX_PIN(ObjectLifecycleTable, attachMemoryManager, slotIndex(2));
QUILLBOX_PIN(ObjectLifecycleTable, componentVersion, slotIndex(3));
QUILLBOX_PIN(ObjectLifecycleTable, shutdown, slotIndex(4));
QUILLBOX_PIN(ObjectExtensionTable, reportExtensionName, slotIndex(1));
QUILLBOX_PIN(ObjectExtensionTable, lookupProperty, slotIndex(3));
QUILLBOX_PIN(ObjectExtensionTable, readProperty, slotIndex(5));
QUILLBOX_PIN(ObjectExtensionTable, writeProperty, slotIndex(6));
QUILLBOX_PIN(ObjectExtensionTable, canReadProperty, slotIndex(7));
QUILLBOX_PIN(ObjectExtensionTable, canWriteProperty, slotIndex(8));
QUILLBOX_PIN(ObjectExtensionTable, lookupMethod, slotIndex(10));
QUILLBOX_PIN(ObjectExtensionTable, countParameters, slotIndex(12));
QUILLBOX_PIN(ObjectExtensionTable, parameterDefaultValue, slotIndex(13));
QUILLBOX_PIN(ObjectExtensionTable, methodReturnsValue, slotIndex(14));
QUILLBOX_PIN(ObjectExtensionTable, invokeProcedure, slotIndex(15));
QUILLBOX_PIN(ObjectExtensionTable, invokeFunction, slotIndex(16));
QUILLBOX_PIN(ObjectLocaleTable, changeLocale, slotIndex(1));
QUILLBOX_PIN(ObjectParts, extension, 1);
QUILLBOX_PIN(ObjectParts, locale, 2);
QUILLBOX_PIN(PlatformInfoRecord, userAgent, 1);
#undef QUILLBOX_PIN

// ---------------------------------------------------------------------------
// Exports of an add-in library, as the host looks them up.

// Class names separated by '|'; the host copies the text at once.
using GetClassNamesFunction = const char16_t* (*)();
// Nonzero when *object now holds a new object (an ObjectParts*).
using GetClassObjectFunction = long (*)(const char16_t* name, void** object);
// Optional. -1 refuses the level: the object then gets no attachHost.
using SetPlatformCapabilitiesFunction = std::int32_t (*)(std::int32_t level);
// Optional. Ends the object at *object; without it the host only forgets it.
using DestroyObjectFunction = long (*)(void** object);

// ---------------------------------------------------------------------------
// Small text helpers that need no library.

inline std::uint32_t textLength(const char16_t* text) {
  std::uint32_t n = 0;
  if (text != nullptr) {
    while (text[n] != 0) ++n;
  }
  return n;
}

// Sets every byte of a record to zero: type TYPE_EMPTY, no buffer.
inline void zeroValue(NativeVariant& value) {
  auto* bytes = reinterpret_cast<unsigned char*>(&value);
  for (std::size_t i = 0; i < sizeof value; ++i) bytes[i] = 0;
}

inline bool sameText(const char16_t* a, const char16_t* b) {
  if (a == nullptr || b == nullptr) return a == b;
  while (*a != 0 && *a == *b) ++a, ++b;
  return *a == *b;
}

// ---------------------------------------------------------------------------
// Convenience base for add-in objects written in C++. It owns the three parts
// and fills their tables with entries that call the virtual hooks below; only
// the parts (boundaryObject()) are ever handed to the host. Every entry
// catches all exceptions and answers its failure value, since the host cannot
// unwind an add-in's exceptions.
class Component {
 public:
  Component() : parts_{{{lifecycleTable()}, {extensionTable()}, {localeTable()}}, this} {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  // The pointer to store through GetClassObject's `object`.
  void* boundaryObject() { return &parts_; }
  // The component behind a pointer that boundaryObject() returned.
  static Component* fromBoundaryObject(void* object) {
    return static_cast<Parts*>(object)->owner;
  }

 protected:
  // Lifecycle hooks. The defaults keep the interfaces for host() and memory().
  virtual bool attachHost(IAddInDefBaseEx* host) {
    host_ = host;
    return host != nullptr;
  }
  virtual bool attachMemoryManager(IMemoryManager* memory) {
    memory_ = memory;
    return memory != nullptr;
  }
  virtual std::int32_t componentVersion() = 0;
  virtual void shutdown() {}

  // The name reported to the host; copied into a host block by the base.
  virtual const char16_t* extensionName() = 0;

  virtual std::int32_t lookupProperty(const char16_t* /*name*/) { return -1; }
  virtual bool readProperty(std::int32_t /*property*/, NativeVariant& /*value*/) { return false; }
  virtual bool writeProperty(std::int32_t /*property*/, NativeVariant& /*value*/) { return false; }
  virtual bool canReadProperty(std::int32_t /*property*/) { return false; }
  virtual bool canWriteProperty(std::int32_t /*property*/) { return false; }

  virtual std::int32_t lookupMethod(const char16_t* /*name*/) { return -1; }
  virtual std::int32_t countParameters(std::int32_t /*method*/) { return 0; }
  virtual bool parameterDefaultValue(std::int32_t /*method*/, std::int32_t /*parameter*/,
                                     NativeVariant& /*value*/) {
    return false;
  }
  virtual bool methodReturnsValue(std::int32_t /*method*/) { return false; }
  // `values` is null when count is 0. `result` is null for a procedure.
  virtual bool invoke(std::int32_t /*method*/, NativeVariant* /*result*/,
                      NativeVariant* /*values*/, std::int32_t /*count*/) {
    return false;
  }

  virtual void changeLocale(const char16_t* /*locale*/) {}

  // Null until the host attached them (the host withholds itself when the
  // library refuses capability level 1).
  IAddInDefBaseEx* host() const { return host_; }
  IMemoryManager* memory() const { return memory_; }

  // A host block of `size` bytes, or null.
  void* allocate(std::uint32_t size) {
    void* block = nullptr;
    if (memory_ == nullptr || !memory_->allocateBlock(&block, size)) return nullptr;
    return block;
  }
  // Returns a host block (from either side's value buffers) to the host heap.
  void release(void* block) {
    if (memory_ != nullptr && block != nullptr) memory_->freeBlock(&block);
  }
  // Frees the buffer a record owns (narrow, wide or binary) and makes it empty.
  void clearValue(NativeVariant& value) {
    switch (value.type) {
      case TYPE_NARROW_TEXT: release(value.narrow.text); break;
      case TYPE_WIDE_TEXT: release(value.wide.text); break;
      case TYPE_BINARY: release(value.binary.data); break;
      default: break;
    }
    zeroValue(value);
  }
  // Replaces `value` by a copy of `length` code units in a host block. On
  // failure `value` is left unchanged.
  bool setWideText(NativeVariant& value, const char16_t* text, std::uint32_t length) {
    auto* copy = static_cast<char16_t*>(allocate((length + 1) * sizeof(char16_t)));
    if (copy == nullptr) return false;
    for (std::uint32_t i = 0; i < length; ++i) copy[i] = text[i];
    copy[length] = 0;
    clearValue(value);
    value.type = TYPE_WIDE_TEXT;
    value.wide.text = copy;
    value.wide.length = length;
    return true;
  }

 private:
  struct Parts {
    ObjectParts boundary;
    Component* owner;
  };

  static Component* owner(ObjectLifecycle* part) {
    return reinterpret_cast<Parts*>(part)->owner;
  }
  static Component* owner(ObjectExtension* part) {
    return reinterpret_cast<Parts*>(reinterpret_cast<char*>(part) -
                                    offsetof(ObjectParts, extension))
        ->owner;
  }
  static Component* owner(ObjectLocale* part) {
    return reinterpret_cast<Parts*>(reinterpret_cast<char*>(part) - offsetof(ObjectParts, locale))
        ->owner;
  }

  static bool QUILLBOX_CALL attachHostEntry(ObjectLifecycle* self, IAddInDefBaseEx* host) {
    try {
      return owner(self)->attachHost(host);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL attachMemoryManagerEntry(ObjectLifecycle* self,
                                                     IMemoryManager* memory) {
    try {
      return owner(self)->attachMemoryManager(memory);
    } catch (...) {
      return false;
    }
  }
  static std::int32_t QUILLBOX_CALL componentVersionEntry(ObjectLifecycle* self) {
    try {
      return owner(self)->componentVersion();
    } catch (...) {
      return 0;
    }
  }
  static void QUILLBOX_CALL shutdownEntry(ObjectLifecycle* self) {
    try {
      owner(self)->shutdown();
    } catch (...) {
    }
  }

  static bool QUILLBOX_CALL reportExtensionNameEntry(ObjectExtension* self, char16_t** name) {
    try {
      if (name == nullptr) return false;
      Component* component = owner(self);
      const char16_t* text = component->extensionName();
      NativeVariant copy;
      zeroValue(copy);
      if (!component->setWideText(copy, text == nullptr ? u"" : text, textLength(text))) {
        return false;
      }
      *name = copy.wide.text;
      return true;
    } catch (...) {
      return false;
    }
  }
  static std::int32_t QUILLBOX_CALL lookupPropertyEntry(ObjectExtension* self,
                                                        const char16_t* name) {
    try {
      return name == nullptr ? -1 : owner(self)->lookupProperty(name);
    } catch (...) {
      return -1;
    }
  }
  static bool QUILLBOX_CALL readPropertyEntry(ObjectExtension* self, std::int32_t property,
                                              NativeVariant* value) {
    try {
      return value != nullptr && owner(self)->readProperty(property, *value);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL writePropertyEntry(ObjectExtension* self, std::int32_t property,
                                               NativeVariant* value) {
    try {
      return value != nullptr && owner(self)->writeProperty(property, *value);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL canReadPropertyEntry(ObjectExtension* self, std::int32_t property) {
    try {
      return owner(self)->canReadProperty(property);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL canWritePropertyEntry(ObjectExtension* self, std::int32_t property) {
    try {
      return owner(self)->canWriteProperty(property);
    } catch (...) {
      return false;
    }
  }
  static std::int32_t QUILLBOX_CALL lookupMethodEntry(ObjectExtension* self,
                                                      const char16_t* name) {
    try {
      return name == nullptr ? -1 : owner(self)->lookupMethod(name);
    } catch (...) {
      return -1;
    }
  }
  static std::int32_t QUILLBOX_CALL countParametersEntry(ObjectExtension* self,
                                                         std::int32_t method) {
    try {
      return owner(self)->countParameters(method);
    } catch (...) {
      return 0;
    }
  }
  static bool QUILLBOX_CALL parameterDefaultValueEntry(ObjectExtension* self, std::int32_t method,
                                                       std::int32_t parameter,
                                                       NativeVariant* value) {
    try {
      return value != nullptr && owner(self)->parameterDefaultValue(method, parameter, *value);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL methodReturnsValueEntry(ObjectExtension* self, std::int32_t method) {
    try {
      return owner(self)->methodReturnsValue(method);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL invokeProcedureEntry(ObjectExtension* self, std::int32_t method,
                                                 NativeVariant* values, std::int32_t count) {
    try {
      return owner(self)->invoke(method, nullptr, count > 0 ? values : nullptr,
                                 count > 0 ? count : 0);
    } catch (...) {
      return false;
    }
  }
  static bool QUILLBOX_CALL invokeFunctionEntry(ObjectExtension* self, std::int32_t method,
                                                NativeVariant* result, NativeVariant* values,
                                                std::int32_t count) {
    try {
      return result != nullptr && owner(self)->invoke(method, result, count > 0 ? values : nullptr,
                                                       count > 0 ? count : 0);
    } catch (...) {
      return false;
    }
  }
  static void QUILLBOX_CALL changeLocaleEntry(ObjectLocale* self, const char16_t* locale) {
    try {
      owner(self)->changeLocale(locale == nullptr ? u"" : locale);
    } catch (...) {
    }
  }

  // Unused and destructor slots stay null: a host that calls one fails at
  // once instead of running code with the wrong arguments.
  static const ObjectLifecycleTable* lifecycleTable() {
    static constexpr ObjectLifecycleTable table = {
        {}, &attachHostEntry, &attachMemoryManagerEntry, &componentVersionEntry, &shutdownEntry};
    return &table;
  }
  static const ObjectExtensionTable* extensionTable() {
    static constexpr ObjectExtensionTable table = {{},
                                                   &reportExtensionNameEntry,
                                                   nullptr,
                                                   &lookupPropertyEntry,
                                                   nullptr,
                                                   &readPropertyEntry,
                                                   &writePropertyEntry,
                                                   &canReadPropertyEntry,
                                                   &canWritePropertyEntry,
                                                   nullptr,
                                                   &lookupMethodEntry,
                                                   nullptr,
                                                   &countParametersEntry,
                                                   &parameterDefaultValueEntry,
                                                   &methodReturnsValueEntry,
                                                   &invokeProcedureEntry,
                                                   &invokeFunctionEntry};
    return &table;
  }
  static const ObjectLocaleTable* localeTable() {
    static constexpr ObjectLocaleTable table = {{}, &changeLocaleEntry};
    return &table;
  }

  Parts parts_;
  IAddInDefBaseEx* host_ = nullptr;
  IMemoryManager* memory_ = nullptr;
};

}  // namespace quillbox

// The exports an add-in library defines; DestroyObject and
// SetPlatformCapabilities may be left out.
QUILLBOX_EXPORT const char16_t* GetClassNames();
QUILLBOX_EXPORT long GetClassObject(const char16_t* name, void** object);
QUILLBOX_EXPORT std::int32_t SetPlatformCapabilities(std::int32_t level);
QUILLBOX_EXPORT long DestroyObject(void** object);

#endif  // QUILLBOX_ADDIN_H
