#include "platform/FileHandle.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string errorText(int error)
{
    return std::system_category().message(error);
}

int fdOf(std::intptr_t native)
{
    return static_cast<int>(native);
}

std::string folderOf(const std::string& path);

// A file made in a folder that only its owner may enter (the user's state folder: the journal, the archive's
// record, the log files that could not go to Temp) is its owner's alone too, whatever the umask; one made
// elsewhere (Temp) is as readable as the umask lets it be.
mode_t newFileMode(const std::string& path)
{
    struct stat folder = {};
    return ::stat(folderOf(path).c_str(), &folder) == 0 && (folder.st_mode & 077) == 0 ? 0600 : 0644;
}

using OpenFault = FileHandle::OpenFault;

// Why what was opened is not kept, or nothing when it is a plain file of this user's.
const char* refusal(const struct stat& status)
{
    if (!S_ISREG(status.st_mode))
        return "Not a regular file";
    if (status.st_uid != ::geteuid())
        return "it belongs to another user";
    if (status.st_nlink != 1)
        return "it has another name too (a hard link)";
    return nullptr;
}

// Opens path without waiting (O_NONBLOCK: a FIFO without a reader would otherwise hold the thread in open()
// for good), never through a symbolic link (O_NOFOLLOW) and never as the controlling terminal (O_NOCTTY), and
// keeps the descriptor only for a plain file of this user's. O_TRUNC waits for that check, so that a file that
// is refused is not emptied either. Returns the descriptor, or -1 with the reason in failure and its kind in
// fault.
int openRegularFile(const std::string& path, int flags, std::string& failure, OpenFault& fault)
{
    const int openFlags = (flags & ~O_TRUNC) | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY;
    const int fd = ::open(path.c_str(), openFlags, (flags & O_CREAT) ? newFileMode(path) : 0);
    if (fd < 0) {
        const int error = errno;
        fault = error == ENOENT ? OpenFault::Missing : error == ELOOP ? OpenFault::Refused : OpenFault::Failed;
        failure = error == ELOOP ? "a symbolic link is in its place" : errorText(error);
        return -1;
    }
    struct stat status = {};
    const bool looked = ::fstat(fd, &status) == 0;
    const char* refused = looked ? refusal(status) : nullptr;
    if (!looked || refused || ((flags & O_TRUNC) && ::ftruncate(fd, 0) != 0)) {
        fault = refused ? OpenFault::Refused : OpenFault::Failed;
        failure = refused ? refused : errorText(errno);
        ::close(fd);
        return -1;
    }
    fault = OpenFault::None;
    return fd;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new, renamed or removed name is durable only once its folder is: the file's own sync does not cover it.
bool syncFolderOf(const std::string& path, std::string& failure)
{
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        failure = errorText(errno);
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    if (!synced)
        failure = errorText(errno);
    ::close(fd);
    return synced;
}

} // namespace

bool FileHandle::openForAppending(const std::string& path)
{
    close();
    return opened(openRegularFile(path, O_WRONLY | O_APPEND, m_failure, m_openFault), path, false);
}

bool FileHandle::create(const std::string& path, bool overwrite)
{
    close();
    return opened(
        openRegularFile(path, O_WRONLY | O_APPEND | O_CREAT | (overwrite ? O_TRUNC : O_EXCL), m_failure, m_openFault),
        path, true);
}

bool FileHandle::openForReading(const std::string& path)
{
    close();
    return opened(openRegularFile(path, O_RDONLY, m_failure, m_openFault), path, false);
}

bool FileHandle::openForUpdating(const std::string& path)
{
    close();
    return opened(openRegularFile(path, O_RDWR, m_failure, m_openFault), path, false);
}

bool FileHandle::openExclusive(const std::string& path)
{
    close();
    // Opened first without O_CREAT, so that a file made here is known to be new and its name is synced.
    int fd = openRegularFile(path, O_RDWR, m_failure, m_openFault);
    bool created = false;
    if (fd < 0 && m_openFault == OpenFault::Missing) {
        fd = openRegularFile(path, O_RDWR | O_CREAT | O_EXCL, m_failure, m_openFault);
        created = true;
    }
    if (fd < 0)
        return opened(fd, path, false);
    // flock() belongs to the open file, so the kernel releases it when the process ends in any way.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_failure = errno == EWOULDBLOCK ? "it is in use by another running process" : errorText(errno);
        m_openFault = OpenFault::Failed;
        ::close(fd);
        return opened(-1, path, false);
    }
    return opened(fd, path, created);
}

bool FileHandle::write(const std::string& bytes)
{
    if (!isOpen()) {
        m_failure = errorText(EBADF);
        return false;
    }
    const int fd = fdOf(m_native);
    // The program is the file's only writer, so the end now is where the bytes begin.
    const off_t before = ::lseek(fd, 0, SEEK_END);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno != EINTR) {
            const int error = errno;
            const bool takenBack = done > 0 && before >= 0 && ::ftruncate(fd, before) == 0;
            m_failure = errorText(error) + partWrittenNote(done, takenBack);
            return false;
        }
    }
    return true;
}

bool FileHandle::readAll(std::string& bytes)
{
    bytes.clear();
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fdOf(m_native), buffer, sizeof buffer, offset);
        if (got == 0)
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_failure = errorText(errno);
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

bool FileHandle::truncate(std::int64_t length)
{
    if (::ftruncate(fdOf(m_native), static_cast<off_t>(length)) == 0)
        return true;
    m_failure = errorText(errno);
    return false;
}

std::int64_t FileHandle::size()
{
    struct stat status = {};
    if (::fstat(fdOf(m_native), &status) == 0)
        return status.st_size;
    m_failure = errorText(errno);
    return -1;
}

bool FileHandle::sync()
{
    if (::fdatasync(fdOf(m_native)) != 0) {
        m_failure = errorText(errno);
        return false;
    }
    if (!m_created)
        return true;
    m_created = !syncFolderOf(m_path, m_failure);
    return !m_created;
}

bool FileHandle::close()
{
    if (!isOpen())
        return true;
    // Linux releases the descriptor even when close() reports an error, EINTR included: it is never retried.
    const int result = ::close(fdOf(m_native));
    m_native = none;
    if (result != 0)
        m_failure = errorText(errno);
    return result == 0;
}

bool renameFileDurably(const std::string& from, const std::string& to, std::string& failure)
{
    if (::rename(from.c_str(), to.c_str()) == 0)
        return syncFolderOf(to, failure);
    failure = errorText(errno);
    return false;
}

bool removeFileDurably(const std::string& path, std::string& failure)
{
    if (::unlink(path.c_str()) != 0) {
        if (errno == ENOENT)
            return true;
        failure = errorText(errno);
        return false;
    }
    return syncFolderOf(path, failure);
}
