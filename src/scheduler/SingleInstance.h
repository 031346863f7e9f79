#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class ApplicationInfo;

// One running scheduler per user and executable name: a copy under another name keeps settings of its own
// and may run beside. The lock is a file that the holder keeps open and locked. Only a live holder stops a
// start: a lock file left behind by a process that no longer runs (killed, crashed), and one that names no
// process at all (empty, cut short, garbage, unreadable: a crash or a power cut while it was being written),
// is removed and taken over.
class SingleInstance
{
public:
    SingleInstance(const QString& lockDirectory, const QString& baseName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running process holds the lock. A lock that cannot be made or taken over
    // (no usable folder, something in the lock's place that cannot be removed) does not keep the scheduler
    // from running: two copies are a smaller harm than none. problem() then says why.
    bool isOnlyInstance() const { return m_onlyInstance; }
    QString problem() const { return m_problem; }
    QString lockFilePath() const { return m_lockFile.fileName(); }

    // The user's runtime folder, or the temporary folder where the platform has none.
    static QString defaultLockDirectory();
    static QString lockFileName(const QString& baseName);

private:
    bool takeOver(const QString& what);
    void runWithoutLock(const QString& why);

    QLockFile m_lockFile;
    bool m_onlyInstance = false;
    QString m_problem;
};

// Whether a live process holds the lock file at path, by the operating system's own lock on the file that
// the holder keeps. Never blocks; false when the file cannot be opened at all, since a holder's own lock
// file always can be.
bool lockFileHasLiveHolder(const QString& path);

// Form_Initialize: the single-instance test, made before anything else. Returns the lock to hold for the
// life of the program, or null when another instance runs; the caller then ends at once and silently.
std::unique_ptr<SingleInstance> Form_Initialize(const ApplicationInfo& application);
