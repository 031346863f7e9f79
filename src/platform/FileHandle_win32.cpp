#include "platform/FileHandle.h"

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

// Others may read the file while it is open, but nobody else may write to it meanwhile. Only a file on disk is
// kept: a device or a pipe under the file's name is refused. Returns the handle as a number, or -1
// (INVALID_HANDLE_VALUE) with the reason in failure. existed, when given, tells whether the file was there.
std::intptr_t openDiskFile(const std::string& path, DWORD access, DWORD disposition, std::string& failure,
                           bool* existed = nullptr)
{
    const HANDLE file = CreateFileW(utf8ToUtf16(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existed)
        *existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        failure = error == ERROR_SHARING_VIOLATION ? "it is in use by another running process" : errorText(error);
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

// Write access, not append-only access: a failed write must be able to cut the file back.
bool FileHandle::openForAppending(const std::string& path)
{
    close();
    return opened(openDiskFile(path, GENERIC_WRITE, OPEN_EXISTING, m_failure), path, false);
}

bool FileHandle::create(const std::string& path, bool overwrite)
{
    close();
    return opened(openDiskFile(path, GENERIC_WRITE, overwrite ? CREATE_ALWAYS : CREATE_NEW, m_failure), path, true);
}

bool FileHandle::openForReading(const std::string& path)
{
    close();
    return opened(openDiskFile(path, GENERIC_READ, OPEN_EXISTING, m_failure), path, false);
}

bool FileHandle::openExclusive(const std::string& path)
{
    close();
    // Sharing no right to write is the hold: a second process asking for write access gets a sharing
    // violation, and Windows closes the handle when the process ends in any way.
    bool existed = false;
    const std::intptr_t native = openDiskFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, m_failure, &existed);
    return opened(native, path, !existed);
}

bool FileHandle::write(const std::string& bytes)
{
    // INVALID_HANDLE_VALUE also stands for the current process, so it must never reach WriteFile.
    if (!isOpen()) {
        m_failure = errorText(ERROR_INVALID_HANDLE);
        return false;
    }
    const HANDLE file = nativeHandle(m_native);
    // The program is the file's only writer, so the end now is where the bytes begin.
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
            m_failure = errorText(error) + partWrittenNote(done, takenBack);
            return false;
        }
        done += written;
    }
    return true;
}

bool FileHandle::readAll(std::string& bytes)
{
    bytes.clear();
    const HANDLE file = nativeHandle(m_native);
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
        m_failure = errorText(GetLastError());
        return false;
    }
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            m_failure = errorText(GetLastError());
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(buffer, got);
    }
}

bool FileHandle::truncate(std::int64_t length)
{
    const HANDLE file = nativeHandle(m_native);
    LARGE_INTEGER position = {};
    position.QuadPart = length;
    if (SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file))
        return true;
    m_failure = errorText(GetLastError());
    return false;
}

std::int64_t FileHandle::size()
{
    LARGE_INTEGER length = {};
    if (GetFileSizeEx(nativeHandle(m_native), &length))
        return length.QuadPart;
    m_failure = errorText(GetLastError());
    return -1;
}

// FlushFileBuffers also writes the file's metadata; NTFS journals the name of a new file with it.
bool FileHandle::sync()
{
    if (FlushFileBuffers(nativeHandle(m_native)))
        return true;
    m_failure = errorText(GetLastError());
    return false;
}

bool FileHandle::close()
{
    if (!isOpen())
        return true;
    const BOOL closed = CloseHandle(nativeHandle(m_native));
    m_native = none;
    if (!closed)
        m_failure = errorText(GetLastError());
    return closed != FALSE;
}

bool renameFileDurably(const std::string& from, const std::string& to, std::string& failure)
{
    if (MoveFileExW(utf8ToUtf16(from).c_str(), utf8ToUtf16(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    failure = errorText(GetLastError());
    return false;
}

bool removeFileDurably(const std::string& path, std::string& failure)
{
    if (DeleteFileW(utf8ToUtf16(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    failure = errorText(GetLastError());
    return false;
}
