// The project's own UTF-8 <-> UTF-16 converter. It follows the Unicode
// "best practice" for ill-formed input, as the Windows converters do: every
// maximal subpart of an ill-formed UTF-8 sequence becomes one U+FFFD, and every
// unpaired surrogate in UTF-16 becomes U+FFFD.

#include "platform/text_codec.h"

#include <cstring>

namespace marrowel::platform {

namespace {

constexpr char16_t REPLACEMENT = 0xFFFD;

bool inRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

void appendCodePoint(char32_t codePoint, std::u16string& out) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  }
}

void appendUtf8(char32_t codePoint, std::string& out) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

}  // namespace

std::u16string utf8ToUtf16(const char* text, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::u16string out;
  out.reserve(length);
  std::size_t i = 0;
  while (i < length) {
    const unsigned char lead = bytes[i++];
    if (lead < 0x80) {
      out.push_back(lead);
      continue;
    }
    // Trailing-byte count and the allowed range of the first trailing byte,
    // which excludes overlong forms, surrogates and code points past U+10FFFF.
    int trailing;
    unsigned char low = 0x80, high = 0xBF;
    char32_t codePoint;
    if (lead >= 0xC2 && lead <= 0xDF) {
      trailing = 1;
      codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trailing = 2;
      codePoint = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trailing = 3;
      codePoint = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out.push_back(REPLACEMENT);
      continue;
    }
    bool complete = true;
    for (int k = 0; k < trailing; ++k) {
      // A byte that does not fit ends the subpart and is examined afresh.
      if (i >= length || !inRange(bytes[i], low, high)) {
        complete = false;
        break;
      }
      codePoint = (codePoint << 6) | (bytes[i++] & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    if (complete) {
      appendCodePoint(codePoint, out);
    } else {
      out.push_back(REPLACEMENT);
    }
  }
  return out;
}

std::string utf16ToUtf8(const char16_t* text, std::size_t count) {
  std::string out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const char16_t unit = text[i];
    if (unit < 0xD800 || unit > 0xDFFF) {
      appendUtf8(unit, out);
    } else if (unit <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      appendUtf8(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), out);
      ++i;
    } else {
      appendUtf8(REPLACEMENT, out);
    }
  }
  return out;
}

std::u16string ansiToUtf16(const char* text) { return utf8ToUtf16(text, std::strlen(text)); }

}  // namespace marrowel::platform
