#pragma once

// The platform half of SingleInstance, in LockFileHolder_posix.cpp and LockFileHolder_win32.cpp.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace LockFileHolder {

enum class Outcome
{
    Held,
    HeldElsewhere,
    Unusable
};

struct Attempt
{
    Outcome outcome = Outcome::Unusable;
    // A file descriptor or a Windows HANDLE while Held, else -1. Never inherited by the started programs.
    qintptr handle = -1;
    // Why the lock could not be taken, when Unusable.
    QString reason;
};

// Opens or makes the regular file at path and locks it exclusively, never waiting; then puts content into
// it, which nobody relies on. Anything else in the file's place is left as it is.
Attempt lock(const QString& path, const QByteArray& content);
void release(qintptr handle);

} // namespace LockFileHolder
