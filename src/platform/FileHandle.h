#pragma once

// A regular file on disk that the program writes, as the operating system holds it: a file descriptor on POSIX,
// a HANDLE on Windows. Plain C++ without Qt; implemented once per platform in FileHandle_posix.cpp and
// FileHandle_win32.cpp. Every open is made without waiting, and only a plain file of this user's is kept: a
// FIFO, a device or a folder in the file's place is refused, never waited on; so is a link, which is never
// followed (a symbolic link or, on Windows, any reparse point), a file that belongs to another user, and a file
// with a second name (a hard link), since the program's folder and its Temp may be open to every user of the
// machine, and a link there could lead the program's writes into a file of the user's that it never meant to
// touch. Each call that fails leaves its reason in failure().

#include <cstdint>
#include <string>

class FileHandle
{
public:
    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // An existing file, for writing at its end; never created here.
    bool openForAppending(const std::string& path);
    // A new file; fails when the folder does not exist, and when the file exists while overwrite is false.
    bool create(const std::string& path, bool overwrite);
    bool openForReading(const std::string& path);
    // An existing file, for reading it and cutting it back; never created here.
    bool openForUpdating(const std::string& path);
    // The file for reading and writing, created when missing, held by this process alone: it fails at once when
    // another process holds it. The hold ends with close() or with the process, however it ends.
    bool openExclusive(const std::string& path);

    // Writes all of bytes at the end of the file, or nothing: when the write fails part-way (a full disk, a
    // file-size limit), the file is cut back to its length before it and failure says so.
    bool write(const std::string& bytes);
    // The whole content, read from the start.
    bool readAll(std::string& bytes);
    bool truncate(std::int64_t length);
    // The file's length, or -1.
    std::int64_t size();
    // Makes what was written durable: on the disk, not in a cache, before it returns. A file that the open
    // created also has its name made durable in its folder.
    bool sync();
    // Releases the file whatever the outcome, so that it is never closed twice; harmless when none is open.
    bool close();

    // What the last open that failed met: nothing at the path (or no folder for it), something it refuses, or
    // a file it could not open.
    enum class OpenFault
    {
        None,
        Missing,
        Refused,
        Failed
    };

    bool isOpen() const { return m_native != none; }
    const std::string& failure() const { return m_failure; }
    OpenFault openFault() const { return m_openFault; }
    // Whether the last open found no file of the program's: nothing at the path, or only what it refuses.
    bool foundNoFile() const
    {
        return !isOpen() && (m_openFault == OpenFault::Missing || m_openFault == OpenFault::Refused);
    }

private:
    static constexpr std::intptr_t none = -1;
    bool opened(std::intptr_t native, const std::string& path, bool created);

    // A file descriptor, or a Windows HANDLE; none when no file is open.
    std::intptr_t m_native = none;
    std::string m_path;
    bool m_created = false;
    std::string m_failure;
    OpenFault m_openFault = OpenFault::None;
};

// Replaces the file at path by one holding bytes, durably and at once: a crash or a power cut at any moment
// leaves either the old file or the new one, never a part of either.
bool replaceFileDurably(const std::string& path, const std::string& bytes, std::string& failure);
// Gives the file at from the name to, replacing what had it, durably.
bool renameFileDurably(const std::string& from, const std::string& to, std::string& failure);
// Removes the file at path, durably; a file that is not there counts as removed.
bool removeFileDurably(const std::string& path, std::string& failure);

// What is at path, as far as it can be told: nothing, a regular file, something else, or, when the look
// itself fails, unknown.
enum class PathKind
{
    Missing,
    RegularFile,
    Other,
    Unknown
};
PathKind pathKind(const std::string& path);

// The note that a failed write adds to its reason: what became of the bytes that did reach the file.
inline std::string partWrittenNote(std::size_t written, bool takenBack)
{
    if (written == 0)
        return std::string();
    return takenBack ? "; the " + std::to_string(written) + " bytes written were taken back"
                     : "; " + std::to_string(written) + " bytes of it remain in the file";
}
