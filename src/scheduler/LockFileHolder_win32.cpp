#include "scheduler/SingleInstance.h"

#include <windows.h>

bool lockFileHasLiveHolder(const QString& path)
{
    // QLockFile's holder keeps its file open without sharing the right to delete it, so asking for that
    // right fails with a sharing violation for as long as the holder runs.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}
