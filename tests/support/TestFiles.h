#pragma once

#include <QByteArray>
#include <QFile>
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

// Puts at path what no archive may write through, over a private file of the user's that target names and that
// already holds its bytes: "link", a symbolic link to it; "hard link", a second name of it; "another user's", a
// copy of it that belongs to nobody (uid 65534). Returns why that cannot be made here, or nothing.
inline QString putInTheWay(const QString& kind, const QString& path, const QString& target)
{
    if (kind == QLatin1String("hard link")) {
        std::error_code error;
        std::filesystem::create_hard_link(std::filesystem::u8path(target.toStdString()),
                                          std::filesystem::u8path(path.toStdString()), error);
        return error ? QString::fromStdString(error.message()) : QString();
    }
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("link"))
        return QFile::link(target, path) ? QString() : QStringLiteral("No symbolic link here");
    if (::geteuid() != 0)
        return QStringLiteral("Only root can give a file to another user (nobody, uid 65534)");
    return QFile::copy(target, path) && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0
               ? QString()
               : QStringLiteral("The file could not be given to nobody");
#else
    Q_UNUSED(path);
    Q_UNUSED(target);
    return QStringLiteral("A symbolic link and another user's file are made on POSIX only");
#endif
}
