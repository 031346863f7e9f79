#include "platform/FileHandle.h"

#include "platform/Utf16Text.h"

#include <algorithm>
#include <windows.h>

#include <aclapi.h>

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

using OpenFault = FileHandle::OpenFault;

// Whether the token's user, or the owner it gives the files it makes (the Administrators group, for an elevated
// administrator), is owner.
bool isThisUsers(PSID owner)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    bool mine = false;
    for (const TOKEN_INFORMATION_CLASS kind : {TokenUser, TokenOwner}) {
        alignas(TOKEN_USER) char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
        DWORD length = 0;
        if (GetTokenInformation(token, kind, buffer, sizeof buffer, &length)) {
            const PSID sid = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid
                                               : reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner;
            mine = mine || EqualSid(owner, sid);
        }
    }
    CloseHandle(token);
    return mine;
}

// Why what was opened is not kept, or nothing when it is a plain file of this user's.
const char* refusal(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information = {};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "Not a regular file";
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return "a link (a reparse point) is in its place";
    if (information.nNumberOfLinks != 1)
        return "it has another name too (a hard link)";
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return "its owner cannot be told";
    const bool mine = isThisUsers(owner);
    LocalFree(descriptor);
    return mine ? nullptr : "it belongs to another user";
}

// Others may read the file while it is open, but nobody else may write to it meanwhile. A reparse point (a
// symbolic link, a junction, a mount point) is opened as itself, never followed, and refused with anything else
// that is not a plain file of this user's; truncate waits for that check, so that a file that is refused is not
// emptied either. Returns the handle as a number, or -1 (INVALID_HANDLE_VALUE) with the reason in failure and its
// kind in fault. existed, when given, tells whether the file was there.
std::intptr_t openDiskFile(const std::string& path, DWORD access, DWORD disposition, std::string& failure,
                           OpenFault& fault, bool* existed = nullptr, bool truncate = false)
{
    const HANDLE file = CreateFileW(utf8ToUtf16(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const DWORD error = GetLastError();
    if (existed)
        *existed = error == ERROR_ALREADY_EXISTS;
    if (file == INVALID_HANDLE_VALUE) {
        fault = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OpenFault::Missing : OpenFault::Failed;
        failure = error == ERROR_SHARING_VIOLATION ? "it is in use by another running process" : errorText(error);
        return -1;
    }
    const char* refused = refusal(file);
    if (refused || (truncate && !SetEndOfFile(file))) {
        fault = refused ? OpenFault::Refused : OpenFault::Failed;
        failure = refused ? refused : errorText(GetLastError());
        CloseHandle(file);
        return -1;
    }
    fault = OpenFault::None;
    return reinterpret_cast<std::intptr_t>(file);
}

} // namespace

// Write access, not append-only access: a failed write must be able to cut the file back.
bool FileHandle::openForAppending(const std::string& path)
{
    close();
    return opened(openDiskFile(path, GENERIC_WRITE, OPEN_EXISTING, m_failure, m_openFault), path, false);
}

bool FileHandle::create(const std::string& path, bool overwrite)
{
    close();
    return opened(openDiskFile(path, GENERIC_WRITE, overwrite ? OPEN_ALWAYS : CREATE_NEW, m_failure, m_openFault,
                               nullptr, overwrite),
                  path, true);
}

bool FileHandle::openForReading(const std::string& path)
{
    close();
    return opened(openDiskFile(path, GENERIC_READ, OPEN_EXISTING, m_failure, m_openFault), path, false);
}

bool FileHandle::openForUpdating(const std::string& path)
{
    close();
    return opened(openDiskFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, m_failure, m_openFault), path, false);
}

bool FileHandle::openExclusive(const std::string& path)
{
    close();
    // Sharing no right to write is the hold: a second process asking for write access gets a sharing
    // violation, and Windows closes the handle when the process ends in any way.
    bool existed = false;
    const std::intptr_t native =
        openDiskFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, m_failure, m_openFault, &existed);
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
