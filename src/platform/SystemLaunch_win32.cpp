#include "platform/SystemLaunch.h"

#include "platform/AnsiCodePage.h"
#include "platform/ProcessEnds.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <vector>

namespace {

using ShellExecuteExAFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);

// Looked up when first needed rather than imported, so that a system without the shell's library or entry
// point gives a start that fails (result 0) instead of a scheduler that does not load.
ShellExecuteExAFunction shellExecuteExA()
{
    static const ShellExecuteExAFunction function = []() -> ShellExecuteExAFunction {
        const HMODULE shell32 = LoadLibraryW(L"shell32.dll");
        if (!shell32)
            return nullptr;
        // Through void(*)(), the one function-pointer type a cast may pass through without a warning.
        return reinterpret_cast<ShellExecuteExAFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(shell32, "ShellExecuteExA")));
    }();
    return function;
}

std::string ansi(const char* utf8Text)
{
    return utf8Text ? toAnsiCodePage(utf8Text) : std::string();
}

// Any value above 32 reads as success.
constexpr std::int32_t startedCode = 42;
// A failure the shell gave no code for and whose error has none: startProgram tells it with its generic text.
constexpr std::int32_t otherFailure = 1;

// The codes ShellExecuteA answers for the errors a failed ShellExecuteExA leaves, where hInstApp holds none.
struct ErrorCode
{
    DWORD error;
    std::int32_t code;
};

constexpr ErrorCode shellCodes[] = {
    {ERROR_FILE_NOT_FOUND, SE_ERR_FNF},
    {ERROR_PATH_NOT_FOUND, SE_ERR_PNF},
    {ERROR_ACCESS_DENIED, SE_ERR_ACCESSDENIED},
    {ERROR_NOT_ENOUGH_MEMORY, SE_ERR_OOM},
    {ERROR_OUTOFMEMORY, SE_ERR_OOM},
    {ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
    {ERROR_SHARING_VIOLATION, SE_ERR_SHARE},
    {ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
    {ERROR_DDE_FAIL, SE_ERR_DDEFAIL},
    {ERROR_DLL_NOT_FOUND, SE_ERR_DLLNOTFOUND},
};

std::int32_t shellCodeForError(DWORD error)
{
    for (const ErrorCode& known : shellCodes) {
        if (known.error == error)
            return known.code;
    }
    return otherFailure;
}

// The handle's low 32 bits: the shell's answer is an HINSTANCE for compatibility only.
std::int32_t shellCode(HINSTANCE instance)
{
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(instance));
}

using SteadyClock = std::chrono::steady_clock;

// A started program whose end is waited for. The scheduler's threads never wait: the thread pool does
// (RegisterWaitForSingleObject), and its callback tells the end.
struct StartedProcess
{
    HANDLE process = nullptr;
    DWORD processId = 0;
    SteadyClock::time_point started;
    HANDLE wait = nullptr;
    // The start and the callback each let go of the record once; the second one frees it. The callback may
    // run before RegisterWaitForSingleObject has returned the wait's handle.
    std::atomic<int> holders{2};
};

void reportEnd(const StartedProcess& started)
{
    ProcessEnd end;
    end.processId = started.processId;
    DWORD exitCode = 0;
    // An exit code that cannot be read is not told as a success.
    end.exitCode = GetExitCodeProcess(started.process, &exitCode) ? static_cast<std::int32_t>(exitCode) : -1;
    end.runTimeMs = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - started.started).count();
    reportProcessEnd(end);
}

void letGo(StartedProcess* started)
{
    if (started->holders.fetch_sub(1) != 1)
        return;
    // Without a completion event the wait is only marked for deletion: allowed inside its own callback, and
    // the callback of a WT_EXECUTEONLYONCE wait has run by now.
    UnregisterWaitEx(started->wait, nullptr);
    CloseHandle(started->process);
    delete started;
}

void CALLBACK processEnded(void* context, BOOLEAN)
{
    StartedProcess* const started = static_cast<StartedProcess*>(context);
    reportEnd(*started);
    letGo(started);
}

// When the thread pool cannot take a wait (it has no thread or memory left), the program is kept here and
// looked at, without waiting, at every later start: its end is told late rather than not at all.
std::mutex unwatchedLock;
std::vector<StartedProcess*> unwatched;

void reportEndsOfUnwatched()
{
    const std::lock_guard<std::mutex> lock(unwatchedLock);
    unwatched.erase(std::remove_if(unwatched.begin(), unwatched.end(),
                                   [](StartedProcess* started) {
                                       const DWORD state = WaitForSingleObject(started->process, 0);
                                       if (state == WAIT_TIMEOUT)
                                           return false;
                                       if (state == WAIT_OBJECT_0)
                                           reportEnd(*started);
                                       CloseHandle(started->process);
                                       delete started;
                                       return true;
                                   }),
                    unwatched.end());
}

// Takes over the process handle.
void watchForEnd(HANDLE process, SteadyClock::time_point startedAt)
{
    StartedProcess* const started = new (std::nothrow) StartedProcess;
    if (!started) {
        // Out of memory: the end of this one program goes untold.
        CloseHandle(process);
        return;
    }
    started->process = process;
    started->processId = GetProcessId(process);
    started->started = startedAt;
    if (RegisterWaitForSingleObject(&started->wait, process, processEnded, started, INFINITE, WT_EXECUTEONLYONCE)) {
        letGo(started);
        return;
    }
    try {
        const std::lock_guard<std::mutex> lock(unwatchedLock);
        unwatched.push_back(started);
    } catch (...) {
        // Out of memory as well: the end of this one program goes untold.
        CloseHandle(process);
        delete started;
    }
}

} // namespace

std::int32_t systemLaunch(std::intptr_t windowHandle, const char* operation, const char* file, const char* parameters,
                          const char* directory, std::int32_t showMode)
{
    recordStartedProcess(0);
    try {
        reportEndsOfUnwatched();
        const ShellExecuteExAFunction call = shellExecuteExA();
        if (!call)
            return 0;
        const std::string ansiOperation = ansi(operation);
        const std::string ansiFile = ansi(file);
        const std::string ansiParameters = ansi(parameters);
        const std::string ansiDirectory = ansi(directory);

        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        // The process handle for the end; no error box, as ShellExecuteA shows none; and the start is complete
        // on return, whatever the shell does for it on threads of its own.
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.hwnd = reinterpret_cast<HWND>(windowHandle);
        info.lpVerb = ansiOperation.c_str();
        info.lpFile = ansiFile.c_str();
        info.lpParameters = ansiParameters.c_str();
        info.lpDirectory = ansiDirectory.c_str();
        info.nShow = showMode;
        // Left as it is when the shell fails without a code of its own; the error then gives one.
        info.hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(startedCode));
        const SteadyClock::time_point started = SteadyClock::now();
        if (!call(&info)) {
            const DWORD error = GetLastError();
            const std::int32_t code = shellCode(info.hInstApp);
            return code >= 0 && code <= 32 ? code : shellCodeForError(error);
        }
        // A document opened through an association, or handed to a program already running, gives no process.
        if (info.hProcess) {
            recordStartedProcess(GetProcessId(info.hProcess));
            watchForEnd(info.hProcess, started);
        }
        const std::int32_t code = shellCode(info.hInstApp);
        return code >= 0 && code <= 32 ? startedCode : code;
    } catch (...) {
        return 0;
    }
}
