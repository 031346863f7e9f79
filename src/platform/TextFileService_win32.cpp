#include "platform/TextFileHandle.h"

#include "platform/Utf16Text.h"

#include <algorithm>
#include <windows.h>

namespace {

HANDLE nativeHandle(std::intptr_t native)
{
    return reinterpret_cast<HANDLE>(native);
}

std::string errorText(DWORD number)
{
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

// Others may read the file while an entry is written, but nobody else may write to it meanwhile. Only a file
// on disk is kept: a device or a pipe under the file's name is refused. Returns the handle as a number, or -1
// (INVALID_HANDLE_VALUE, and so Handle::none) with the reason in failure.
std::intptr_t openDiskFile(const std::string& path, DWORD disposition, std::string& failure)
{
    // Write access, not append-only access: a failed write must be able to cut the file back.
    const HANDLE file = CreateFileW(utf8ToUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failure = errorText(GetLastError());
        return -1;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        failure = "Not a regular file";
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(file);
}

} // namespace

bool TextFileService::Handle::openForAppending(const std::string& path)
{
    native = openDiskFile(path, OPEN_EXISTING, failure);
    return native != none;
}

bool TextFileService::Handle::create(const std::string& path, bool overwrite)
{
    native = openDiskFile(path, overwrite ? CREATE_ALWAYS : CREATE_NEW, failure);
    return native != none;
}

bool TextFileService::Handle::write(const std::string& bytes)
{
    // INVALID_HANDLE_VALUE also stands for the current process, so it must never reach WriteFile.
    if (native == none) {
        failure = errorText(ERROR_INVALID_HANDLE);
        return false;
    }
    const HANDLE file = nativeHandle(native);
    // Every entry goes to the end of the file; the program is the file's only writer.
    LARGE_INTEGER before = {};
    const bool atEnd = SetFilePointerEx(file, LARGE_INTEGER{}, &before, FILE_END) != FALSE;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
            const DWORD error = GetLastError();
            done += written;
            const bool takenBack =
                done > 0 && atEnd && SetFilePointerEx(file, before, nullptr, FILE_BEGIN) && SetEndOfFile(file);
            failure = errorText(error) + partWrittenNote(done, takenBack);
            return false;
        }
        done += written;
    }
    return true;
}

bool TextFileService::Handle::close()
{
    const BOOL closed = CloseHandle(nativeHandle(native));
    native = none;
    if (!closed)
        failure = errorText(GetLastError());
    return closed != FALSE;
}
