#include "settings/UserSettings.h"

std::unique_ptr<QSettings> openUserSettings(const QString& application)
{
    // The key that the classic per-user GetSetting and SaveSetting functions use, so the choices made in the
    // program this one replaces carry over. QSettings writes QString values as REG_SZ, as they did.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
                                           application,
                                       QSettings::NativeFormat);
}
