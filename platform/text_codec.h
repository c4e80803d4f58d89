#pragma once
// The system's text converters: UTF-8, UTF-16 and the narrow "ANSI" code page
// (on POSIX the narrow code page is UTF-8). Ill-formed input is replaced with
// U+FFFD rather than rejected, as the Windows converters do with no flags: one
// U+FFFD for each maximal ill-formed UTF-8 subsequence and for each unpaired
// surrogate. Results are new strings owned by the caller; running out of
// memory throws std::bad_alloc. Stateless; safe on any thread.

#include <cstddef>
#include <string>

namespace marrowel::platform {

// Converts exactly `length` bytes of UTF-8 (embedded NULs included).
std::u16string utf8ToUtf16(const char* text, std::size_t length);

// Converts exactly `count` UTF-16 units (embedded NULs included).
std::string utf16ToUtf8(const char16_t* text, std::size_t count);

// Converts NUL-terminated text in the system's narrow code page.
std::u16string ansiToUtf16(const char* text);

}  // namespace marrowel::platform
