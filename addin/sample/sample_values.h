// Values the sample add-in keeps between calls, and the pure conversions
// between them and the boundary's records. A StoredValue owns its text and
// bytes in ordinary containers; copies for the host are made by the component,
// which holds the host's memory manager. No state, safe on any thread.
#ifndef QUILLBOX_SAMPLE_VALUES_H
#define QUILLBOX_SAMPLE_VALUES_H

#include <cstdint>
#include <string>

#include "quillbox_addin.h"

namespace sample {

struct StoredValue {
  std::uint16_t type = quillbox::TYPE_EMPTY;
  // The value area for scalar types (numbers, bool, date); zero otherwise.
  quillbox::NativeVariant scalar = zeroed();
  std::u16string wide;  // TYPE_WIDE_TEXT
  std::string bytes;    // TYPE_NARROW_TEXT (without its NUL) and TYPE_BINARY

  static quillbox::NativeVariant zeroed() {
    quillbox::NativeVariant record;
    quillbox::zeroValue(record);
    return record;
  }
};

// Copies a record; a reference is followed to the value it points at.
StoredValue storedFromRecord(const quillbox::NativeVariant& record);

// The fixed value the sample answers for a type code: the initial value of
// the typed properties and what "Make" returns. Codes without a sample value
// give a record of that code with a zero value area.
StoredValue sampleValue(std::uint16_t type);

// The bool byte read as a byte, so that any nonzero value counts as true.
bool boolOf(const quillbox::NativeVariant& record);

// True for the numeric codes (3, 4, 5, 16, 19, 20); `out` gets the value.
bool numberOf(const quillbox::NativeVariant& record, double& out);

// Converts `record` into a value of type `kind` for a typed property: numbers
// into any numeric kind when they fit (integers must be whole and in range),
// wide text or raw bytes into narrow text, otherwise only the same kind.
bool convertToKind(std::uint16_t kind, const quillbox::NativeVariant& record, StoredValue& out);

// "code:value" for a record, e.g. "3:-42", "22:abc", "23:00ff", "7:2024-03-15 14:30:05".
std::u16string describe(const quillbox::NativeVariant& record);

// ASCII (or Latin-1) bytes widened unit by unit.
std::u16string widen(const std::string& bytes);

}  // namespace sample

#endif  // QUILLBOX_SAMPLE_VALUES_H
