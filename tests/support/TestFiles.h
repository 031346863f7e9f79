#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

// The bytes of a file, or nothing when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes a FIFO at path; false where the platform has none in its file system (Windows).
inline bool makeFifo(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

#ifdef Q_OS_UNIX
// The permission bits of what is at path (a link itself, not what it names), or -1 when nothing is there.
inline int modeOf(const QString& path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}
#endif

// Writes bytes to the file at path, made with the folders on the way to it.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// Puts at path what no archive may write through, over a private file of the user's at target that holds bytes:
// "link", a symbolic link to it; "hard link", a second name of it; "another user's", the file itself, given to
// nobody (uid 65534). Puts nothing for any other kind. Returns why it cannot be made here, or nothing.
inline QString putInTheWay(const QString& kind, const QString& path, const QString& target, const QByteArray& bytes)
{
    if (!kind.endsWith(QLatin1String("link")) && kind != QLatin1String("another user's"))
        return QString();
    if (!writeFile(target, bytes) || !QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner))
        return QStringLiteral("No private file");
    std::error_code error;
    if (kind == QLatin1String("hard link")) {
        std::filesystem::create_hard_link(std::filesystem::u8path(target.toStdString()),
                                          std::filesystem::u8path(path.toStdString()), error);
        return QString::fromStdString(error.message()).left(error ? -1 : 0);
    }
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("link"))
        return QFile::link(target, path) ? QString() : QStringLiteral("No symbolic link here");
    if (::geteuid() != 0)
        return QStringLiteral("Only root can give a file to another user (nobody, uid 65534)");
    return QFile::rename(target, path) && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0
               ? QString()
               : QStringLiteral("The file could not be given to nobody");
#else
    return QStringLiteral("A symbolic link and another user's file are made on POSIX only");
#endif
}
