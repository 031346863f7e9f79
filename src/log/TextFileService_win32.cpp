#include "log/TextFileHandle.h"

#include "log/Utf16Text.h"

#include <algorithm>
#include <windows.h>

namespace {

HANDLE nativeHandle(std::intptr_t native)
{
    return reinterpret_cast<HANDLE>(native);
}

// Others may read the file while an entry is written, but nobody else may write to it meanwhile. A failure
// gives INVALID_HANDLE_VALUE, which is -1 and so Handle::none.
std::intptr_t openFile(const std::string& path, DWORD access, DWORD disposition)
{
    return reinterpret_cast<std::intptr_t>(CreateFileW(utf8ToUtf16(path).c_str(), access, FILE_SHARE_READ, nullptr,
                                                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

bool TextFileService::Handle::openForAppending(const std::string& path)
{
    // With FILE_APPEND_DATA alone every write goes to the end of the file, wherever the file pointer stands.
    native = openFile(path, FILE_APPEND_DATA, OPEN_EXISTING);
    return native != none;
}

bool TextFileService::Handle::create(const std::string& path, bool overwrite)
{
    native = openFile(path, GENERIC_WRITE, overwrite ? CREATE_ALWAYS : CREATE_NEW);
    return native != none;
}

bool TextFileService::Handle::write(const std::string& bytes)
{
    // INVALID_HANDLE_VALUE also stands for the current process, so it must never reach WriteFile.
    if (native == none) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(nativeHandle(native), bytes.data() + done, chunk, &written, nullptr))
            return false;
        done += written;
    }
    return true;
}

bool TextFileService::Handle::close()
{
    const BOOL closed = CloseHandle(nativeHandle(native));
    native = none;
    return closed != FALSE;
}

std::string TextFileService::Handle::lastErrorText() const
{
    const DWORD number = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, number, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0)
        return "Windows error " + std::to_string(number);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return utf16ToUtf8(text);
}
