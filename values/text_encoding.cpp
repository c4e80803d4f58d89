#include "values/text_encoding.h"

#include "platform/text_codec.h"

namespace marrowel {

void utf16ToUtf8(const char16_t* text, int count, std::string& out) {
  if (text == nullptr || count <= 0) {
    out.clear();
    return;
  }
  out = platform::utf16ToUtf8(text, static_cast<std::size_t>(count));
}

void utf8ToUtf16(const char* text, int length, WideString& out) {
  if (text == nullptr || length <= 0) {
    out.clear();
    return;
  }
  out = platform::utf8ToUtf16(text, static_cast<std::size_t>(length));
}

void ansiToUtf8(const char* text, std::string& out) {
  if (text == nullptr) {
    out.clear();
    return;
  }
  out = toUtf8(platform::ansiToUtf16(text));
}

void jsonStringFromUtf16(const char16_t* text, int count, Json::Value& out) {
  std::string utf8;
  utf16ToUtf8(text, count, utf8);
  // The begin/end form keeps embedded NULs.
  out = Json::Value(utf8.data(), utf8.data() + utf8.size());
}

Json::Value jsonStringFromWide(const char16_t* text) {
  if (text == nullptr) return Json::Value("");
  const std::string utf8 = platform::utf16ToUtf8(text, std::char_traits<char16_t>::length(text));
  return Json::Value(utf8.data(), utf8.data() + utf8.size());
}

std::string toUtf8(const WideString& text) { return platform::utf16ToUtf8(text.data(), text.size()); }

WideString toUtf16(const std::string& text) { return platform::utf8ToUtf16(text.data(), text.size()); }

}  // namespace marrowel
