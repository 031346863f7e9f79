#include "app/LockFileHolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LockFileHolder {

namespace {

Attempt unusable(const QString& what, int error)
{
    return {Outcome::Unusable, -1, QStringLiteral("%1 (%2)").arg(what, qt_error_string(error))};
}

} // namespace

Attempt lock(const QString& path, const QByteArray& content)
{
    // Never waits and never follows a link: a FIFO opens at once and a device is not made the controlling
    // terminal; both are refused below. Close-on-exec, so that no started program keeps the lock alive.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0644);
    if (fd < 0)
        return unusable(QStringLiteral("it cannot be opened"), errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {Outcome::Unusable, -1, QStringLiteral("something that is not a regular file is in its place")};
    }
    // flock() conflicts between any two opens of the file, also within one process, where fcntl() locks do not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return {Outcome::HeldElsewhere, -1, QString()};
        return unusable(QStringLiteral("it cannot be locked"), error);
    }
    // Nothing depends on the content, so a failed write weakens nothing.
    [[maybe_unused]] const bool noted =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, content.constData(), size_t(content.size()), 0) == content.size();
    return {Outcome::Held, fd, QString()};
}

void release(qintptr handle)
{
    if (handle >= 0)
        ::close(static_cast<int>(handle));
}

} // namespace LockFileHolder
