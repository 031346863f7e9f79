#include "platform/UserStateFolder.h"

#include <QDir>

QString userStateFolder()
{
    // The XDG base directory rules: a relative or empty value is to be ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/zorScheduler"));
}
