#include "platform/TextFileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string errorText(int error)
{
    return std::system_category().message(error);
}

// Opens path without waiting (O_NONBLOCK: a FIFO without a reader would otherwise hold the thread in open()
// for good) and keeps the descriptor only for a regular file.
// Returns the descriptor, or -1 with the reason in failure.
int openRegularFile(const std::string& path, int flags, std::string& failure)
{
    const int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        failure = errorText(errno);
        return -1;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        failure = "Not a regular file";
        return -1;
    }
    return fd;
}

} // namespace

bool TextFileService::Handle::openForAppending(const std::string& path)
{
    native = openRegularFile(path, O_APPEND, failure);
    return native != none;
}

bool TextFileService::Handle::create(const std::string& path, bool overwrite)
{
    native = openRegularFile(path, O_APPEND | O_CREAT | (overwrite ? O_TRUNC : O_EXCL), failure);
    return native != none;
}

bool TextFileService::Handle::write(const std::string& bytes)
{
    if (native == none) {
        failure = errorText(EBADF);
        return false;
    }
    const int fd = static_cast<int>(native);
    // The program is the file's only writer, so the end now is where the entry begins.
    const off_t before = ::lseek(fd, 0, SEEK_END);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno != EINTR) {
            const int error = errno;
            const bool takenBack = done > 0 && before >= 0 && ::ftruncate(fd, before) == 0;
            failure = errorText(error) + partWrittenNote(done, takenBack);
            return false;
        }
    }
    return true;
}

bool TextFileService::Handle::close()
{
    // Linux releases the descriptor even when close() reports an error, EINTR included: it is never retried.
    const int result = ::close(static_cast<int>(native));
    native = none;
    if (result != 0)
        failure = errorText(errno);
    return result == 0;
}
