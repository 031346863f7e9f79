#include "log/TextFileService.h"

#include "log/AnsiCodePage.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

struct TextFileService::Handle
{
    int descriptor = -1;
};

namespace {

std::string errorText(int number)
{
    return std::system_category().message(number);
}

} // namespace

TextFileService::TextFileService() : m_handle(std::make_unique<Handle>()) {}

TextFileService::~TextFileService()
{
    close();
}

bool TextFileService::openForAppending(const std::string& path)
{
    close();
    m_handle->descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    m_lastErrorText = isOpen() ? std::string() : errorText(errno);
    return isOpen();
}

bool TextFileService::create(const std::string& path, bool overwrite)
{
    close();
    const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_CREAT | (overwrite ? O_TRUNC : O_EXCL);
    m_handle->descriptor = ::open(path.c_str(), flags, 0644);
    m_lastErrorText = isOpen() ? std::string() : errorText(errno);
    return isOpen();
}

bool TextFileService::writeLine(const std::string& utf8Text)
{
    if (!isOpen()) {
        m_lastErrorText = errorText(EBADF);
        return false;
    }
    const std::string bytes = toAnsiCodePage(utf8Text) + "\r\n";
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_handle->descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_lastErrorText = errorText(errno);
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    m_lastErrorText.clear();
    return true;
}

bool TextFileService::close()
{
    if (!isOpen()) {
        m_lastErrorText.clear();
        return true;
    }
    // On Linux the descriptor is released even when close() reports an error, EINTR included, so it is
    // never closed twice.
    const int result = ::close(m_handle->descriptor);
    m_handle->descriptor = -1;
    m_lastErrorText = result == 0 ? std::string() : errorText(errno);
    return result == 0;
}

bool TextFileService::isOpen() const
{
    return m_handle->descriptor >= 0;
}
