#include "platform/ShellCall.h"

#include "platform/AnsiCodePage.h"

#include <windows.h>

namespace {

using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// Looked up when first needed rather than imported, so that a system without the shell's library or entry
// point gives a start that fails (result 0) instead of a scheduler that does not load.
ShellExecuteAFunction shellExecuteA()
{
    static const ShellExecuteAFunction function = []() -> ShellExecuteAFunction {
        const HMODULE shell32 = LoadLibraryW(L"shell32.dll");
        if (!shell32)
            return nullptr;
        // Through void(*)(), the one function-pointer type a cast may pass through without a warning.
        return reinterpret_cast<ShellExecuteAFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(shell32, "ShellExecuteA")));
    }();
    return function;
}

std::string ansi(const char* utf8Text)
{
    return utf8Text ? toAnsiCodePage(utf8Text) : std::string();
}

} // namespace

std::int32_t PlatformShellExecute(std::intptr_t windowHandle, const char* operation, const char* file,
                                  const char* parameters, const char* directory, std::int32_t showMode)
{
    try {
        const ShellExecuteAFunction call = shellExecuteA();
        if (!call)
            return 0;
        const HINSTANCE result = call(reinterpret_cast<HWND>(windowHandle), ansi(operation).c_str(), ansi(file).c_str(),
                                      ansi(parameters).c_str(), ansi(directory).c_str(), showMode);
        // The shell's answer is an HINSTANCE for compatibility; only its low 32 bits carry the result code.
        return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(result));
    } catch (...) {
        return 0;
    }
}
