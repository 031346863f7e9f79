#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
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
