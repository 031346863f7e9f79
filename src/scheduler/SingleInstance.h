#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class ApplicationInfo;

// One running scheduler per user and executable name: a copy under another name keeps settings of its own
// and may run beside. The lock is a file that the holder keeps open and locked; a lock file left behind by a
// process that no longer runs (killed, crashed) is recognised as stale and taken over.
class SingleInstance
{
public:
    SingleInstance(const QString& lockDirectory, const QString& baseName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running process holds the lock. A lock that cannot be made at all (no usable
    // folder) does not keep the scheduler from running: two copies are a smaller harm than none.
    bool isOnlyInstance() const { return m_onlyInstance; }
    QString lockFilePath() const { return m_lockFile.fileName(); }

    // The user's runtime folder, or the temporary folder where the platform has none.
    static QString defaultLockDirectory();
    static QString lockFileName(const QString& baseName);

private:
    QLockFile m_lockFile;
    bool m_onlyInstance = false;
};

// Form_Initialize: the single-instance test, made before anything else. Returns the lock to hold for the
// life of the program, or null when another instance runs; the caller then ends at once and silently.
std::unique_ptr<SingleInstance> Form_Initialize(const ApplicationInfo& application);
