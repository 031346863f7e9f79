#include "settings/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// $XDG_CONFIG_HOME/<name>.conf, by default ~/.config/<name>.conf, read afresh at every use. Named here rather
// than left to QSettings' search: the system-wide folders of $XDG_CONFIG_DIRS are never read, since a value
// an administrator put there must not pose as the operator's own choice, nor hide that nothing is stored.
QString userSettingsPath(const QString& application)
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(folder + QLatin1Char('/') + application + QStringLiteral(".conf"));
}

} // namespace

std::unique_ptr<QSettings> openUserSettings(const QString& application)
{
    // The INI format is what QSettings' native format is on POSIX systems.
    return std::make_unique<QSettings>(userSettingsPath(application), QSettings::IniFormat);
}

QString userSettingsReadProblem(const QString& application, QString* location)
{
    const QString path = userSettingsPath(application);
    if (location)
        *location = path;
    const QFileInfo store(path);
    if (!store.exists())
        return QString();
    if (!store.isFile())
        return QStringLiteral("it is not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return QString();
}
