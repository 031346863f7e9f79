#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class ApplicationInfo;

// One running scheduler per user and executable name: a copy under another name keeps settings of its own
// and may run beside. The guard is the operating system's own exclusive lock on a file that the holder keeps
// open: made and locked in one step as far as any other start can tell, released by the system when the
// process ends however it ends, so no lock is ever stale and nothing is ever deleted or read to decide it.
//
// The lock lies only in a folder that this user alone may enter, so that no other user can hold it, replace it or
// put something in its place: the runtime folder, when it is such a folder, or else the user's state folder, made
// so. A lock file that another user owns is no lock of this scheduler's. When the lock cannot be used in the
// first place, the second is tried before the scheduler runs unguarded.
class SingleInstance
{
public:
    // firstChoice may be empty; fallback (may be empty) is made a private folder when it is needed.
    SingleInstance(const QString& firstChoice, const QString& fallback, const QString& baseName);
    SingleInstance(const QString& lockDirectory, const QString& baseName)
        : SingleInstance(lockDirectory, QString(), baseName)
    {
    }
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running process holds the lock. A lock that cannot be taken (no usable folder,
    // something else than a regular file in its place, a file of another user) does not keep the scheduler from
    // running: two copies are a smaller harm than none. problem() then says why, and also names a first choice
    // that could not be used when the fallback holds the lock.
    bool isOnlyInstance() const { return m_onlyInstance; }
    QString problem() const { return m_problem; }
    QString lockFilePath() const { return m_path; }

    // The user's runtime folder (see userRuntimeFolder); empty where there is none.
    static QString defaultLockDirectory();
    static QString lockFileName(const QString& baseName);

private:
    QString m_path;
    qintptr m_handle = -1;
    bool m_onlyInstance = true;
    QString m_problem;
};

// acquireSingleInstance: the single-instance test, made before anything else. Returns the lock to hold for the
// life of the program, or null when another instance runs; the caller then ends at once and silently.
std::unique_ptr<SingleInstance> acquireSingleInstance(const ApplicationInfo& application);
