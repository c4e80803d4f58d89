#pragma once
// Text conversions between the encodings the host meets: UTF-8 inside
// messages, UTF-16 toward add-ins, the narrow code page for add-ins' narrow
// texts. Ill-formed input is replaced, never an error. Stateless; any thread.

#include <string>

#include <json/value.h>

namespace marrowel {

// Add-ins speak UTF-16 on every platform.
using WideString = std::u16string;

// Replaces `out` with the UTF-8 form of exactly `count` units; count <= 0 gives "".
void utf16ToUtf8(const char16_t* text, int count, std::string& out);

// Replaces `out` with the UTF-16 form of exactly `length` bytes; length <= 0 gives "".
void utf8ToUtf16(const char* text, int length, WideString& out);

// Replaces `out` with the UTF-8 form of NUL-terminated narrow code-page text.
void ansiToUtf8(const char* text, std::string& out);

// `out` becomes the JSON string of exactly `count` units (no terminator added).
void jsonStringFromUtf16(const char16_t* text, int count, Json::Value& out);

// The JSON string of NUL-terminated UTF-16 text; a null pointer gives "".
Json::Value jsonStringFromWide(const char16_t* text);

// Convenience forms used throughout the core.
std::string toUtf8(const WideString& text);
WideString toUtf16(const std::string& text);

}  // namespace marrowel
