#include "platform/Utf16Text.h"

#include <windows.h>

std::wstring utf8ToUtf16(const std::string& utf8Text)
{
    if (utf8Text.empty())
        return std::wstring();
    const int inputSize = static_cast<int>(utf8Text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), inputSize, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), inputSize, result.data(), size);
    return result;
}

std::string utf16ToUtf8(const std::wstring& utf16Text)
{
    if (utf16Text.empty())
        return std::string();
    const int inputSize = static_cast<int>(utf16Text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, utf16Text.data(), inputSize, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16Text.data(), inputSize, result.data(), size, nullptr, nullptr);
    return result;
}
