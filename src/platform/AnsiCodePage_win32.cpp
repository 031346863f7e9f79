#include "platform/AnsiCodePage.h"

#include "platform/Utf16Text.h"
#include "platform/Utf8Text.h"

#include <windows.h>

std::string toAnsiCodePage(const std::string& utf8Text)
{
    const std::string valid = withInvalidUtf8Replaced(utf8Text, '?');
    // A system set to UTF-8 as its ANSI code page (a Windows 10 option) takes the text as it is; it also
    // refuses a default character.
    if (GetACP() == CP_UTF8)
        return valid;

    // No ANSI code page holds a character beyond the Basic Multilingual Plane; each becomes one "?" here, where
    // the converter would turn each half of its surrogate pair into one.
    std::wstring wide;
    for (const wchar_t unit : utf8ToUtf16(valid)) {
        if (IS_LOW_SURROGATE(unit))
            continue;
        wide += IS_HIGH_SURROGATE(unit) ? L'?' : unit;
    }
    if (wide.empty())
        return std::string();

    // Without WC_NO_BEST_FIT_CHARS a character missing from the code page could turn into a look-alike
    // (a Persian keheh into an Arabic kaf, say) instead of "?".
    const int inputSize = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), inputSize, nullptr, 0, "?", nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), inputSize, result.data(), size, "?", nullptr);
    return result;
}

std::string fromAnsiCodePage(const std::string& ansiText)
{
    if (GetACP() == CP_UTF8 || ansiText.empty())
        return withInvalidUtf8Replaced(ansiText, '?');
    const int inputSize = static_cast<int>(ansiText.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, ansiText.data(), inputSize, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansiText.data(), inputSize, wide.data(), size);
    return utf16ToUtf8(wide);
}
