#pragma once

// The platform half of TextFileService, implemented once per platform in TextFileService_posix.cpp and
// TextFileService_win32.cpp. Each call that fails leaves its reason in failure.

#include "platform/TextFileService.h"

#include <cstdint>
#include <string>

struct TextFileService::Handle
{
    static constexpr std::intptr_t none = -1;
    // A file descriptor, or a Windows HANDLE; none when no file is open.
    std::intptr_t native = none;
    // Why the last failing call failed, in the operating system's words.
    std::string failure;

    // Both open only a regular file, and never wait: a FIFO or a device in the file's place is refused.
    bool openForAppending(const std::string& path);
    bool create(const std::string& path, bool overwrite);
    // Writes all of bytes at the end of the file, or nothing: when the write fails part-way (a full disk,
    // a file-size limit), the file is cut back to its length before it and failure says so. Fails when no
    // file is open.
    bool write(const std::string& bytes);
    // Releases the file whatever the outcome, so that it is never closed twice.
    bool close();
};

// The note that a failed write adds to its reason: what became of the bytes that did reach the file.
inline std::string partWrittenNote(std::size_t written, bool takenBack)
{
    if (written == 0)
        return std::string();
    return takenBack ? "; the " + std::to_string(written) + " bytes written were taken back"
                     : "; " + std::to_string(written) + " bytes of it remain in the file";
}
