// Text helpers shared by the portable code. wchar_t is 16 bits on Windows and 32 bits on
// Linux, so everything that produces bytes encodes explicitly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pm {

// Latin-1 bytes: U+0000..U+00FF as the byte of the same value, everything else as '?'.
// On Windows a surrogate pair is one character and becomes one '?'.
std::string ToLatin1(std::wstring_view text);

// UTF-16 little-endian bytes of the text (no byte-order mark).
std::string ToUtf16Le(std::wstring_view text);

// Replaces every "\n" with "\r\n".
std::string WithCrLf(std::string_view text);

// ASCII-only case folding (A-Z, a-z), as the installer's name tests need.
std::wstring AsciiLower(std::wstring_view text);
std::wstring AsciiUpper(std::wstring_view text);
bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b);

}  // namespace pm
