#include "values/native_variant.h"

#include <new>
#include <string>
#include <utility>

#include "values/base64.h"
#include "values/date.h"
#include "values/heap.h"
#include "values/text_encoding.h"

namespace marrowel {

const char binaryMarker[] = "6B765706-BAA6-4262-9A0D-985DB1774C92";
static_assert(sizeof(binaryMarker) == BINARY_MARKER_LENGTH + 1, "marker length");

namespace {

const char DATE_MEMBER[] = "date";

void* allocateOrThrow(std::size_t size) {
  void* block = allocateHostBlock(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void stringToNativeVariant(const Json::Value& value, NativeVariant& out) {
  const char* begin = nullptr;
  const char* end = nullptr;
  value.getString(&begin, &end);
  const std::size_t length = static_cast<std::size_t>(end - begin);

  if (length > BINARY_MARKER_LENGTH && std::memcmp(begin, binaryMarker, BINARY_MARKER_LENGTH) == 0) {
    const std::string bytes = base64Decode(reinterpret_cast<const unsigned char*>(begin + BINARY_MARKER_LENGTH),
                                           static_cast<int>(length - BINARY_MARKER_LENGTH));
    auto* buffer = static_cast<unsigned char*>(allocateOrThrow(bytes.size()));
    std::memcpy(buffer, bytes.data(), bytes.size());
    out.blob = buffer;
    out.blobLen = static_cast<std::uint32_t>(bytes.size());
    out.vt = TYPE_BINARY;
    return;
  }

  WideString wide;
  utf8ToUtf16(begin, static_cast<int>(length), wide);
  auto* buffer = static_cast<char16_t*>(allocateOrThrow((wide.size() + 1) * sizeof(char16_t)));
  std::memcpy(buffer, wide.data(), wide.size() * sizeof(char16_t));
  buffer[wide.size()] = u'\0';
  out.wstr = buffer;
  out.wstrLen = static_cast<std::uint32_t>(wide.size());
  out.vt = TYPE_WIDE_TEXT;
}

}  // namespace

bool jsonToNativeVariant(const Json::Value& value, NativeVariant& out) {
  switch (value.type()) {
    case Json::stringValue:
      stringToNativeVariant(value, out);
      return true;
    case Json::objectValue:
      if (value.empty()) {
        out.vt = TYPE_EMPTY;
      } else if (const Json::Value* date = value.find(DATE_MEMBER, DATE_MEMBER + sizeof(DATE_MEMBER) - 1)) {
        out.tmValue = Date::fromJson(*date).toTm();
        out.vt = TYPE_DATE;
      }
      return true;
    case Json::nullValue:
      out.vt = TYPE_NULL;
      return true;
    case Json::intValue:
      out.intValue = value.asInt();
      out.vt = TYPE_INT32;
      return true;
    case Json::realValue:
      out.doubleValue = value.asDouble();
      out.vt = TYPE_DOUBLE;
      return true;
    case Json::booleanValue:
      out.boolValue = value.asBool();
      out.vt = TYPE_BOOL;
      return true;
    case Json::uintValue:
    case Json::arrayValue:
      return false;
  }
  return false;
}

bool nativeVariantToJson(const NativeVariant& value, Json::Value& out) {
  switch (value.vt) {
    case TYPE_EMPTY:
      out = Json::Value(Json::objectValue);
      return true;
    case TYPE_NULL:
      out = Json::Value(Json::nullValue);
      return true;
    case TYPE_INT32:
    case TYPE_INT:
      out = Json::Value(Json::Int(value.intValue));
      return true;
    case TYPE_UINT32:
    case TYPE_UINT:
      out = Json::Value(Json::UInt(value.uintValue));
      return true;
    case TYPE_FLOAT:
      out = Json::Value(static_cast<double>(value.floatValue));
      return true;
    case TYPE_DOUBLE:
      out = Json::Value(value.doubleValue);
      return true;
    case TYPE_DATE:
      Date::fromTm(value.tmValue).toJson(out);
      return true;
    case TYPE_NARROW_TEXT: {
      std::string text;
      ansiToUtf8(value.str, text);
      out = Json::Value(text);
      return true;
    }
    case TYPE_BOOL:
      // Read as a byte: add-ins may store any nonzero value, which is not a
      // valid bool representation.
      out = Json::Value(value.pad[0] != 0);
      return true;
    case TYPE_WIDE_TEXT:
      jsonStringFromUtf16(value.wstr, static_cast<int>(value.wstrLen), out);
      return true;
    case TYPE_BINARY: {
      std::string text(binaryMarker, BINARY_MARKER_LENGTH);
      if (value.blob != nullptr) text += base64Encode(value.blob, static_cast<int>(value.blobLen));
      out = Json::Value(text);
      return true;
    }
    default:
      return false;
  }
}

void releaseNativeVariant(NativeVariant& value) {
  // Follow references to the end of the chain; `slow` trails at half speed, so
  // meeting it means the chain loops and has no end to release.
  const NativeVariant* slow = &value;
  NativeVariant* target = &value;
  while (target->vt == TYPE_REFERENCE) {
    target = target->ref;
    if (target == nullptr) return;
    if (target->vt != TYPE_REFERENCE) break;
    target = target->ref;
    if (target == nullptr) return;
    slow = slow->ref;
    if (target == slow) return;
  }
  switch (target->vt) {
    case TYPE_NARROW_TEXT:
      freeHostBlock(target->str);
      break;
    case TYPE_WIDE_TEXT:
      freeHostBlock(target->wstr);
      break;
    case TYPE_BINARY:
      freeHostBlock(target->blob);
      break;
    default:
      break;
  }
}

void jsonArrayToNativeVariants(const Json::Value& array, std::vector<NativeVariant>& out) {
  if (!array.isArray()) return;
  for (Json::ArrayIndex i = 0; i < array.size() && i < out.size(); ++i) jsonToNativeVariant(array[i], out[i]);
}

void nativeVariantsToJsonArray(const std::vector<NativeVariant>& values, Json::Value& out) {
  for (const NativeVariant& value : values) {
    Json::Value element;  // stays null when the record has no JSON form
    nativeVariantToJson(value, element);
    out.append(std::move(element));
  }
}

}  // namespace marrowel
