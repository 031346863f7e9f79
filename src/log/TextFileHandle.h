#pragma once

// The platform half of TextFileService, implemented once per platform in TextFileService_posix.cpp and
// TextFileService_win32.cpp. Each call that fails leaves its reason for lastErrorText() to read at once.

#include "log/TextFileService.h"

#include <cstdint>
#include <string>

struct TextFileService::Handle
{
    static constexpr std::intptr_t none = -1;
    // A file descriptor, or a Windows HANDLE; none when no file is open.
    std::intptr_t native = none;

    bool openForAppending(const std::string& path);
    bool create(const std::string& path, bool overwrite);
    // Writes all of bytes at the end of the file; fails when no file is open.
    bool write(const std::string& bytes);
    // Releases the file whatever the outcome, so that it is never closed twice.
    bool close();
    std::string lastErrorText() const;
};
