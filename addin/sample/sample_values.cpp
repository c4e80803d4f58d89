#include "sample_values.h"

#include <cmath>
#include <cstdio>

namespace sample {

using quillbox::NativeVariant;

namespace {

constexpr int MAX_REFERENCE_DEPTH = 16;

StoredValue scalarValue(std::uint16_t type, const NativeVariant& record) {
  StoredValue value;
  value.type = type;
  value.scalar = record;
  value.scalar.type = type;
  return value;
}

std::string narrowBytes(const char* text) { return text == nullptr ? std::string() : text; }

bool wholeInRange(double number, double low, double high) {
  return std::floor(number) == number && number >= low && number <= high;
}

}  // namespace

bool boolOf(const NativeVariant& record) {
  return *reinterpret_cast<const unsigned char*>(&record) != 0;
}

StoredValue storedFromRecord(const NativeVariant& record) {
  const NativeVariant* source = &record;
  for (int depth = 0; source->type == quillbox::TYPE_REFERENCE; ++depth) {
    if (source->reference == nullptr || depth == MAX_REFERENCE_DEPTH) return StoredValue{};
    source = source->reference;
  }
  StoredValue value;
  value.type = source->type;
  switch (source->type) {
    case quillbox::TYPE_WIDE_TEXT:
      if (source->wide.text != nullptr) value.wide.assign(source->wide.text, source->wide.length);
      break;
    case quillbox::TYPE_NARROW_TEXT:
      value.bytes = narrowBytes(source->narrow.text);
      break;
    case quillbox::TYPE_BINARY:
      if (source->binary.data != nullptr) {
        value.bytes.assign(static_cast<const char*>(source->binary.data), source->binary.length);
      }
      break;
    case quillbox::TYPE_BOOL:
      value.scalar.boolValue = boolOf(*source);
      break;
    default:
      value = scalarValue(source->type, *source);
      break;
  }
  return value;
}

StoredValue sampleValue(std::uint16_t type) {
  NativeVariant record = StoredValue::zeroed();
  StoredValue value;
  switch (type) {
    case quillbox::TYPE_INT32: record.int32Value = -42; break;
    case quillbox::TYPE_INT: record.int32Value = 19; break;
    case quillbox::TYPE_UINT32: record.uint32Value = 4000000000u; break;
    case quillbox::TYPE_UINT: record.uint32Value = 20; break;
    case quillbox::TYPE_FLOAT: record.floatValue = 0.1f; break;
    case quillbox::TYPE_DOUBLE: record.doubleValue = 2.5; break;
    case quillbox::TYPE_BOOL: record.boolValue = true; break;
    case quillbox::TYPE_DATE:
      // Friday 2024-03-15 14:30:05
      record.dateValue.tm_year = 124;
      record.dateValue.tm_mon = 2;
      record.dateValue.tm_mday = 15;
      record.dateValue.tm_hour = 14;
      record.dateValue.tm_min = 30;
      record.dateValue.tm_sec = 5;
      record.dateValue.tm_wday = 5;
      record.dateValue.tm_yday = 74;
      break;
    case quillbox::TYPE_WIDE_TEXT:
      // Two-byte, three-byte and four-byte UTF-8 forms, the last a surrogate pair.
      value.type = type;
      value.wide = u"wide \u00e9\u4e2d\U0001F600";
      return value;
    case quillbox::TYPE_NARROW_TEXT:
      value.type = type;
      value.bytes = "narrow";
      return value;
    case quillbox::TYPE_BINARY:
      value.type = type;
      value.bytes = std::string("\x00\x01\x7f\x80\xff", 5);
      return value;
    default: break;
  }
  return scalarValue(type, record);
}

bool numberOf(const NativeVariant& record, double& out) {
  switch (record.type) {
    case quillbox::TYPE_INT32:
    case quillbox::TYPE_INT: out = record.int32Value; return true;
    case quillbox::TYPE_UINT32:
    case quillbox::TYPE_UINT: out = record.uint32Value; return true;
    case quillbox::TYPE_FLOAT: out = record.floatValue; return true;
    case quillbox::TYPE_DOUBLE: out = record.doubleValue; return true;
    default: return false;
  }
}

bool convertToKind(std::uint16_t kind, const NativeVariant& record, StoredValue& out) {
  double number = 0;
  NativeVariant converted = StoredValue::zeroed();
  switch (kind) {
    case quillbox::TYPE_INT32:
    case quillbox::TYPE_INT:
      if (!numberOf(record, number) || !wholeInRange(number, -2147483648.0, 2147483647.0)) {
        return false;
      }
      converted.int32Value = static_cast<std::int32_t>(number);
      out = scalarValue(kind, converted);
      return true;
    case quillbox::TYPE_UINT32:
    case quillbox::TYPE_UINT:
      if (!numberOf(record, number) || !wholeInRange(number, 0.0, 4294967295.0)) return false;
      converted.uint32Value = static_cast<std::uint32_t>(number);
      out = scalarValue(kind, converted);
      return true;
    case quillbox::TYPE_FLOAT:
      if (!numberOf(record, number)) return false;
      converted.floatValue = static_cast<float>(number);
      out = scalarValue(kind, converted);
      return true;
    case quillbox::TYPE_DOUBLE:
      if (!numberOf(record, number)) return false;
      converted.doubleValue = number;
      out = scalarValue(kind, converted);
      return true;
    case quillbox::TYPE_NARROW_TEXT:
      out = StoredValue{};
      out.type = kind;
      if (record.type == quillbox::TYPE_NARROW_TEXT) {
        out.bytes = narrowBytes(record.narrow.text);
      } else if (record.type == quillbox::TYPE_WIDE_TEXT) {
        // Only ASCII means the same in every ANSI code page.
        for (std::uint32_t i = 0; record.wide.text != nullptr && i < record.wide.length; ++i) {
          char16_t unit = record.wide.text[i];
          out.bytes += unit != 0 && unit < 0x80 ? static_cast<char>(unit) : '?';
        }
      } else if (record.type == quillbox::TYPE_BINARY) {
        // Exact bytes, for code-page tests; the text ends at the first NUL.
        const char* data = static_cast<const char*>(record.binary.data);
        for (std::uint32_t i = 0; data != nullptr && i < record.binary.length && data[i]; ++i) {
          out.bytes += data[i];
        }
      } else {
        return false;
      }
      return true;
    default:
      if (record.type != kind) return false;
      out = storedFromRecord(record);
      return true;
  }
}

std::u16string widen(const std::string& bytes) {
  std::u16string wide;
  for (unsigned char byte : bytes) wide += static_cast<char16_t>(byte);
  return wide;
}

std::u16string describe(const NativeVariant& record) {
  char buffer[64] = "";
  std::u16string text;
  switch (record.type) {
    case quillbox::TYPE_EMPTY: break;
    case quillbox::TYPE_NULL: text = u"null"; break;
    case quillbox::TYPE_INT32:
    case quillbox::TYPE_INT: text = widen(std::to_string(record.int32Value)); break;
    case quillbox::TYPE_UINT32:
    case quillbox::TYPE_UINT: text = widen(std::to_string(record.uint32Value)); break;
    case quillbox::TYPE_FLOAT:
      std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(record.floatValue));
      text = widen(buffer);
      break;
    case quillbox::TYPE_DOUBLE:
      std::snprintf(buffer, sizeof buffer, "%g", record.doubleValue);
      text = widen(buffer);
      break;
    case quillbox::TYPE_DATE: {
      const std::tm& date = record.dateValue;
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", date.tm_year + 1900,
                    date.tm_mon + 1, date.tm_mday, date.tm_hour, date.tm_min, date.tm_sec);
      text = widen(buffer);
      break;
    }
    case quillbox::TYPE_NARROW_TEXT: text = widen(narrowBytes(record.narrow.text)); break;
    case quillbox::TYPE_BOOL: text = boolOf(record) ? u"true" : u"false"; break;
    case quillbox::TYPE_REFERENCE:
      text = record.reference == nullptr ? u"()" : u"(" + describe(*record.reference) + u")";
      break;
    case quillbox::TYPE_WIDE_TEXT:
      if (record.wide.text != nullptr) text.assign(record.wide.text, record.wide.length);
      break;
    case quillbox::TYPE_BINARY: {
      static const char HEX[] = "0123456789abcdef";
      const auto* data = static_cast<const unsigned char*>(record.binary.data);
      for (std::uint32_t i = 0; data != nullptr && i < record.binary.length; ++i) {
        text += static_cast<char16_t>(HEX[data[i] >> 4]);
        text += static_cast<char16_t>(HEX[data[i] & 15]);
      }
      break;
    }
    default: text = u"?"; break;
  }
  return widen(std::to_string(record.type)) + u":" + text;
}

}  // namespace sample
