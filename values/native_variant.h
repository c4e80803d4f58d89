#pragma once
// NativeVariant, the value record exchanged with add-in objects, and the
// conversions between it and the JSON form of values.
//
// The record is a fixed binary layout shared with add-ins built by other
// compilers: a value area (the union below), the 16-bit type code directly
// after it, then padding to the record's alignment. 32-bit builds pack it to
// 4 bytes; 64-bit builds use natural alignment, so the size of the platform's
// `tm` decides the layout there. The static_asserts below pin each build.
//
// Ownership: a text or binary record built by `jsonToNativeVariant` owns a
// buffer from the host heap (values/heap.h); `releaseNativeVariant` frees it,
// once, after the add-in call that used the record and its conversion back.
// Records filled by an add-in with memory from the host's memory manager are
// released the same way. The conversions keep no state; any thread.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <cstring>
#include <vector>

#include <json/value.h>

namespace marrowel {

// Type codes. Codes not listed are carried but never converted.
constexpr std::uint16_t TYPE_EMPTY = 0;
constexpr std::uint16_t TYPE_NULL = 1;
constexpr std::uint16_t TYPE_INT32 = 3;
constexpr std::uint16_t TYPE_FLOAT = 4;
constexpr std::uint16_t TYPE_DOUBLE = 5;
constexpr std::uint16_t TYPE_DATE = 7;         // tmValue
constexpr std::uint16_t TYPE_NARROW_TEXT = 8;  // str: NUL-terminated, narrow code page; strLen unused
constexpr std::uint16_t TYPE_BOOL = 11;
constexpr std::uint16_t TYPE_REFERENCE = 12;  // ref: another record
constexpr std::uint16_t TYPE_UINT32 = 16;
constexpr std::uint16_t TYPE_INT = 19;
constexpr std::uint16_t TYPE_UINT = 20;
constexpr std::uint16_t TYPE_WIDE_TEXT = 22;  // wstr: wstrLen units plus a terminator not counted
constexpr std::uint16_t TYPE_BINARY = 23;     // blob: blobLen bytes

// Pointer width, not the OS, decides the packing (the same 48-byte record on
// every 32-bit build).
#if INTPTR_MAX == INT32_MAX
#pragma pack(push, 4)
#endif

struct NativeVariant {
  // All bytes zero: type code 0 (empty), unused value bytes zero as add-ins
  // expect of a record the host builds.
  NativeVariant() { std::memset(static_cast<void*>(this), 0, sizeof(NativeVariant)); }

  union {
    std::int32_t intValue;
    std::uint32_t uintValue;
    float floatValue;
    double doubleValue;
    bool boolValue;  // one byte; any nonzero byte reads as true
    std::tm tmValue;
    NativeVariant* ref;
    struct {
      char* str;
      std::uint32_t strLen;
    };
    struct {
      char16_t* wstr;
      std::uint32_t wstrLen;
    };
    struct {
      unsigned char* blob;
      std::uint32_t blobLen;
    };
    unsigned char pad[44];
  };
  std::uint16_t vt;
};

#if INTPTR_MAX == INT32_MAX
#pragma pack(pop)
#endif

static_assert(sizeof(bool) == 1, "add-ins read the boolean as one byte");
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "no record layout for this pointer width");
static_assert(sizeof(void*) != 4 || (sizeof(NativeVariant) == 48 && offsetof(NativeVariant, vt) == 44),
              "32-bit builds (Windows and Linux): 48 bytes, type code at 44");
static_assert(sizeof(void*) != 8 || sizeof(std::tm) == 36 || sizeof(std::tm) == 56,
              "no record layout pinned for this platform's tm");
static_assert(sizeof(void*) != 8 || sizeof(std::tm) != 36 ||
                  (sizeof(NativeVariant) == 56 && offsetof(NativeVariant, vt) == 48),
              "Windows x64 (36-byte tm): 56 bytes, type code at 48");
static_assert(sizeof(void*) != 8 || sizeof(std::tm) != 56 ||
                  (sizeof(NativeVariant) == 64 && offsetof(NativeVariant, vt) == 56),
              "Linux x86_64 (56-byte tm): 64 bytes, type code at 56");

// A JSON string that starts with this text and goes on carries binary data:
// the rest is base64.
extern const char binaryMarker[];
constexpr std::size_t BINARY_MARKER_LENGTH = 36;

// Converts a JSON value into `out`, writing only the type code and the value
// bytes the new type uses; whatever `out` held is not released. Strings give
// wide text, or binary data when they start with binaryMarker and go on; {}
// gives empty, an object with "date" a date, null null, a signed integer
// TYPE_INT32, a real TYPE_DOUBLE, a boolean TYPE_BOOL. Any other object leaves
// `out` as it was and answers true; unsigned integers and arrays leave it and
// answer false. Raises std::bad_alloc when a buffer cannot be had, and
// Json::LogicError for an integer or date member outside the 32-bit range or a
// date that is not made of numbers.
bool jsonToNativeVariant(const Json::Value& value, NativeVariant& out);

// Replaces `out` with the JSON form of `value` and answers true; answers false
// and leaves `out` alone for a type code with no JSON form (references
// included). A null text or data pointer reads as empty.
bool nativeVariantToJson(const NativeVariant& value, Json::Value& out);

// Frees the buffer behind a narrow text, wide text or binary record; follows
// references to the record at the end of the chain and frees its buffer only.
// The bytes are left as they are, so a record is released once. A reference
// chain that loops frees nothing.
void releaseNativeVariant(NativeVariant& value);

// Converts element i of `array` into out[i] for every i below both sizes; the
// vector is neither resized nor cleared. A non-array converts nothing.
void jsonArrayToNativeVariants(const Json::Value& array, std::vector<NativeVariant>& out);

// Appends the JSON form of each record to `out` (an empty array), null for a
// record with none.
void nativeVariantsToJsonArray(const std::vector<NativeVariant>& values, Json::Value& out);

}  // namespace marrowel
