#pragma once

// Conversions between UTF-8, the program's own text, and UTF-16, the text of the Windows API. Windows only.

#include <string>

// Bytes that are not valid UTF-8 become U+FFFD.
std::wstring utf8ToUtf16(const std::string& utf8Text);
// Lone surrogates become U+FFFD.
std::string utf16ToUtf8(const std::wstring& utf16Text);
