#pragma once

// The text-file service behind the daily log file: open for appending, create, write a line, close, with
// the text stored in the system's ANSI code page and every line ending in CR LF on every platform.
// Plain C++ without Qt, on the platform's FileHandle.

#include "platform/FileHandle.h"

#include <cstdint>
#include <string>

class TextFileService
{
public:
    // Opens an existing file for appending; fails when the file does not exist (it is never created here).
    bool openForAppending(const std::string& path);
    // Creates a new file; fails when the folder does not exist, and when the file exists while overwrite is
    // false. With overwrite true an existing file is replaced by an empty one.
    bool create(const std::string& path, bool overwrite);
    // Writes utf8Text converted to the ANSI code page, followed by CR LF, after everything already in the
    // file. Characters the code page cannot represent become "?".
    bool writeLine(const std::string& utf8Text);
    // Writes bytes as they are (a line already converted, with its CR LF) after everything in the file.
    bool write(const std::string& bytes);
    // Cuts the open file back to length bytes.
    bool truncate(std::int64_t length);
    // The open file's length in bytes, or -1.
    std::int64_t size();
    // Makes what was written durable before it returns (see FileHandle::sync).
    bool sync();
    // Closes the open file; harmless when none is open.
    bool close();

    bool isOpen() const { return m_file.isOpen(); }
    // What the last open that failed met (see FileHandle).
    FileHandle::OpenFault openFault() const { return m_file.openFault(); }
    // Why the last failing operation failed, in the operating system's words; empty after a success.
    const std::string& lastErrorText() const { return m_lastErrorText; }

    // The bytes that writeLine puts in the file for utf8Text.
    static std::string lineBytes(const std::string& utf8Text);

private:
    bool noteOutcome(bool succeeded);

    FileHandle m_file;
    std::string m_lastErrorText;
};
