#include "platform/UserStateFolder.h"

#include <QDir>
#include <QStandardPaths>

QString userStateFolder()
{
    // On Windows the generic data location is the user's local application data folder.
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::toNativeSeparators(QDir::cleanPath(local + QStringLiteral("/zorScheduler")));
}
