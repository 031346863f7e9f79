#include "settings/UserSettings.h"

namespace {

QString userSettingsKey(const QString& application)
{
    // The key of the per-user GetSetting and SaveSetting functions of Visual Basic, where the operator's
    // choices on this machine are kept.
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + application;
}

} // namespace

std::unique_ptr<QSettings> openUserSettings(const QString& application)
{
    // QSettings writes QString values as REG_SZ, as those functions did.
    return std::make_unique<QSettings>(userSettingsKey(application), QSettings::NativeFormat);
}

QString userSettingsReadProblem(const QString& application, QString* location)
{
    if (location)
        *location = userSettingsKey(application) + QStringLiteral("\\Settings");
    const std::unique_ptr<QSettings> settings = openUserSettings(application);
    return settings->status() == QSettings::AccessError ? QStringLiteral("access to the key is refused") : QString();
}
