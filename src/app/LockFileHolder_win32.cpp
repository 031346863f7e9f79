#include "app/LockFileHolder.h"

#include <windows.h>

namespace LockFileHolder {

namespace {

Attempt unusable(const QString& what)
{
    return {Outcome::Unusable, -1, QStringLiteral("%1 (%2)").arg(what, qt_error_string(int(GetLastError())))};
}

} // namespace

Attempt lock(const QString& path, const QByteArray& content)
{
    // Shared for reading only: while the handle is open nobody else may write to the file, so a second
    // start's own open fails with a sharing violation, and Windows closes the handle when the process ends
    // however it ends. A link is opened as itself and refused below, as is a device.
    const HANDLE file =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            return {Outcome::HeldElsewhere, -1, QString()};
        return unusable(QStringLiteral("it cannot be opened"));
    }
    BY_HANDLE_FILE_INFORMATION information = {};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(file);
        return {Outcome::Unusable, -1, QStringLiteral("something that is not a regular file is in its place")};
    }
    DWORD written = 0;
    if (SetEndOfFile(file))
        WriteFile(file, content.constData(), DWORD(content.size()), &written, nullptr);
    return {Outcome::Held, reinterpret_cast<qintptr>(file), QString()};
}

void release(qintptr handle)
{
    if (handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

} // namespace LockFileHolder
