#pragma once

// The operating system's way of opening a file: the shape of ShellExecuteA, and the real call. Plain C++
// without Qt; all texts are UTF-8, and the Windows call converts them to the system's ANSI code page itself.

#include <cstdint>
#include <functional>

// The shell call, with the arguments of ShellExecuteA in its order: owner window, operation, file,
// parameters, directory, show-window code. Returns the shell's result code as a signed 32-bit value:
// negative or greater than 32 means the file was opened, 0 to 32 is a failure code.
using ShellCall = std::function<std::int32_t(std::intptr_t windowHandle, const char* operation, const char* file,
                                             const char* parameters, const char* directory, std::int32_t showMode)>;

// The operating system's own shell call: ShellExecuteA on Windows, a direct posix_spawn elsewhere.
std::int32_t PlatformShellExecute(std::intptr_t windowHandle, const char* operation, const char* file,
                                  const char* parameters, const char* directory, std::int32_t showMode);
