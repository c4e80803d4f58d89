// Text conversion through the system converters with no flags, so ill-formed
// input is replaced with U+FFFD rather than rejected. The converters count in
// int; longer texts are converted in pieces cut where no character is split.

#include "platform/text_codec.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace marrowel::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is passed to the system as wchar_t");

namespace {

// UTF-16 output never has more units than the UTF-8 input has bytes; UTF-8
// output has at most three bytes per UTF-16 unit.
constexpr std::size_t MAX_UTF8_PIECE = INT_MAX;
constexpr std::size_t MAX_UTF16_PIECE = INT_MAX / 3;

[[noreturn]] void throwLastError(const char* operation) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), operation);
}

void appendWide(UINT codePage, const char* text, int length, std::u16string& out) {
  const int units = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
  if (units <= 0) throwLastError("MultiByteToWideChar");
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(units));
  if (MultiByteToWideChar(codePage, 0, text, length, reinterpret_cast<wchar_t*>(&out[start]), units) != units) {
    throwLastError("MultiByteToWideChar");
  }
}

void appendUtf8(const char16_t* text, int count, std::string& out) {
  const auto* wide = reinterpret_cast<const wchar_t*>(text);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, count, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) throwLastError("WideCharToMultiByte");
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(bytes));
  if (WideCharToMultiByte(CP_UTF8, 0, wide, count, &out[start], bytes, nullptr, nullptr) != bytes) {
    throwLastError("WideCharToMultiByte");
  }
}

bool isContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::u16string utf8ToUtf16(const char* text, std::size_t length) {
  std::u16string out;
  while (length > 0) {
    std::size_t piece = length < MAX_UTF8_PIECE ? length : MAX_UTF8_PIECE;
    if (piece < length) {
      // Cut before a lead byte: a sequence has at most three continuation
      // bytes, and a longer run of them is replaced byte by byte anyway.
      std::size_t cut = piece;
      for (int k = 0; k < 3 && isContinuation(text[cut]); ++k) --cut;
      if (!isContinuation(text[cut])) piece = cut;
    }
    appendWide(CP_UTF8, text, static_cast<int>(piece), out);
    text += piece;
    length -= piece;
  }
  return out;
}

std::string utf16ToUtf8(const char16_t* text, std::size_t count) {
  std::string out;
  while (count > 0) {
    std::size_t piece = count < MAX_UTF16_PIECE ? count : MAX_UTF16_PIECE;
    if (piece < count && isHighSurrogate(text[piece - 1])) --piece;
    appendUtf8(text, static_cast<int>(piece), out);
    text += piece;
    count -= piece;
  }
  return out;
}

std::u16string ansiToUtf16(const char* text) {
  const std::size_t length = std::strlen(text);
  std::u16string out;
  if (length == 0) return out;
  // Double-byte code pages give no safe place to cut, and no narrow text an
  // add-in hands over comes near this size.
  if (length > static_cast<std::size_t>(INT_MAX)) throw std::length_error("narrow text too long to convert");
  appendWide(CP_ACP, text, static_cast<int>(length), out);
  return out;
}

}  // namespace marrowel::platform
