#pragma once

// The text-file service behind the daily log file: open for appending, create, write a line, close, with
// the text stored in the system's ANSI code page and every line ending in CR LF on every platform.
// Plain C++ without Qt; the platform part lives in TextFileService_posix.cpp / TextFileService_win32.cpp.

#include <memory>
#include <string>

class TextFileService
{
public:
    TextFileService();
    ~TextFileService();
    TextFileService(const TextFileService&) = delete;
    TextFileService& operator=(const TextFileService&) = delete;

    // Opens an existing file for appending; fails when the file does not exist (it is never created here).
    bool openForAppending(const std::string& path);
    // Creates a new file; fails when the folder does not exist, and when the file exists while overwrite is
    // false. With overwrite true an existing file is replaced by an empty one.
    bool create(const std::string& path, bool overwrite);
    // Writes utf8Text converted to the ANSI code page, followed by CR LF, after everything already in the
    // file. Characters the code page cannot represent become "?".
    bool writeLine(const std::string& utf8Text);
    // Closes the open file; harmless when none is open.
    bool close();

    bool isOpen() const;
    // Why the last failing operation failed, in the operating system's words; empty after a success.
    const std::string& lastErrorText() const { return m_lastErrorText; }

private:
    // Defined in TextFileHandle.h, implemented per platform.
    struct Handle;
    bool noteOutcome(bool succeeded);

    std::unique_ptr<Handle> m_handle;
    std::string m_lastErrorText;
};
