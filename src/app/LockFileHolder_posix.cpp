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
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0)
        return unusable(QStringLiteral("it cannot be opened"), errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {Outcome::Unusable, -1, QStringLiteral("something that is not a regular file is in its place")};
    }
    // Another user's file, even one this user may write, is no lock of this scheduler's: its owner could hold it
    // and so keep every start from running.
    if (status.st_uid != ::geteuid()) {
        ::close(fd);
        return {Outcome::Unusable, -1, QStringLiteral("it belongs to another user")};
    }
    // flock() conflicts between any two opens of the file, also within one process, where fcntl() locks do not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return {Outcome::HeldElsewhere, -1, QString()};
        return unusable(QStringLiteral("it cannot be locked"), error);
    }
    // Nothing depends on the content or the mode (the folder is this user's alone), so a failed write or a lock
    // file that an older version made readable to others weakens nothing; both are put right when they can be.
    [[maybe_unused]] const bool noted =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, content.constData(), size_t(content.size()), 0) == content.size();
    if ((status.st_mode & 077) != 0)
        ::fchmod(fd, 0600);
    return {Outcome::Held, fd, QString()};
}

void release(qintptr handle)
{
    if (handle >= 0)
        ::close(static_cast<int>(handle));
}

} // namespace LockFileHolder
