#include "log/TextFileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

bool TextFileService::Handle::openForAppending(const std::string& path)
{
    native = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    return native != none;
}

bool TextFileService::Handle::create(const std::string& path, bool overwrite)
{
    native = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_CREAT | (overwrite ? O_TRUNC : O_EXCL), 0644);
    return native != none;
}

bool TextFileService::Handle::write(const std::string& bytes)
{
    if (native == none) {
        errno = EBADF;
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(static_cast<int>(native), bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR)
            return false;
        if (written > 0)
            done += static_cast<std::size_t>(written);
    }
    return true;
}

bool TextFileService::Handle::close()
{
    // Linux releases the descriptor even when close() reports an error, EINTR included: it is never retried.
    const int result = ::close(static_cast<int>(native));
    native = none;
    return result == 0;
}

std::string TextFileService::Handle::lastErrorText() const
{
    return std::system_category().message(errno);
}
