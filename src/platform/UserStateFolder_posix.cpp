#include "platform/UserStateFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why path is not a folder of this user's alone, or empty; with tighten, a folder of this user that others may
// enter is narrowed to 0700 first.
QString folderProblem(const QByteArray& path, bool tighten)
{
    struct stat status = {};
    if (::stat(path.constData(), &status) != 0)
        return qt_error_string(errno);
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("it is not a folder");
    if (status.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if ((status.st_mode & 077) == 0 || (tighten && ::chmod(path.constData(), 0700) == 0))
        return QString();
    return QStringLiteral("other users may enter it");
}

} // namespace

QString userStateFolder()
{
    // The XDG base directory rules: a relative or empty value is to be ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/zorScheduler"));
}

bool makePrivateFolder(const QString& folder, QString* problem)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    // Each folder made on the way is this user's alone, as the XDG base directory rules ask; the chmod() makes it
    // exactly 0700 under any umask.
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        if (::mkdir(part.constData(), 0700) == 0)
            ::chmod(part.constData(), 0700);
        if (slash < 0)
            break;
    }
    const QString why = folderProblem(path, true);
    if (problem)
        *problem = why;
    return why.isEmpty();
}

QString userRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::isAbsolutePath(runtime) ? QDir::cleanPath(runtime) : QString();
}

QString privateFolderProblem(const QString& folder)
{
    return folderProblem(QFile::encodeName(QDir::cleanPath(folder)), false);
}
