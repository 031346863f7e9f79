#include "platform/UserStateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString userStateFolder()
{
    // On Windows the generic data location is the user's local application data folder.
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::toNativeSeparators(QDir::cleanPath(local + QStringLiteral("/zorScheduler")));
}

bool makePrivateFolder(const QString& folder, QString* problem)
{
    // A folder made in the user's local application data inherits its access list: the user's, the system's and
    // the administrators'.
    QDir().mkpath(folder);
    const QString why = privateFolderProblem(folder);
    if (problem)
        *problem = why;
    return why.isEmpty();
}

QString userRuntimeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString privateFolderProblem(const QString& folder)
{
    return QFileInfo(folder).isDir() ? QString() : QStringLiteral("it is not a folder");
}
