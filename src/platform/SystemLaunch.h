#pragma once

// The operating system's way of opening a file: the shape of ShellExecuteA, and the real call. Plain C++
// without Qt; all texts are UTF-8, and the Windows call converts them to the system's ANSI code page itself.

#include <cstdint>
#include <functional>

// The launch call, with the arguments of ShellExecuteA in its order: owner window, operation, file,
// parameters, directory, show-window code. Returns a result code as the Windows shell gives it, a signed 32-bit value:
// negative or greater than 32 means the file was opened, 0 to 32 is a failure code.
using LaunchCall = std::function<std::int32_t(std::intptr_t windowHandle, const char* operation, const char* file,
                                              const char* parameters, const char* directory, std::int32_t showMode)>;

// The operating system's own launch: ShellExecuteA on Windows, a direct posix_spawn elsewhere (never a shell).
std::int32_t systemLaunch(std::intptr_t windowHandle, const char* operation, const char* file, const char* parameters,
                          const char* directory, std::int32_t showMode);

// The process id of the program that the calling thread's last systemLaunch started, and 0 from then
// on: 0 also when that call started none (it failed, or a document was opened through an association).
std::int64_t takeStartedProcessId();

// How a program that systemLaunch started has ended.
struct ProcessEnd
{
    std::int64_t processId = 0;
    // The exit code; on POSIX the signal's number instead when a signal ended the program.
    std::int32_t exitCode = 0;
    std::int32_t signal = 0;
    // From the start to the end, as the scheduler measured it.
    std::int64_t runTimeMs = 0;
};

// Called once for each program started from now on when it ends, on a thread of the platform's; an empty
// handler stops the calls. Once this returns, no call of the earlier handler is still running.
void setProcessEndHandler(std::function<void(const ProcessEnd&)> handler);
