#include "settings/UserSettings.h"

std::unique_ptr<QSettings> openUserSettings(const QString& application)
{
    // With the name as organization and no application, the file is $XDG_CONFIG_HOME/<name>.conf. The
    // system-wide fallbacks stay off: a value an administrator put into /etc/xdg must not pose as the
    // operator's own choice, nor hide that nothing is stored.
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application);
    settings->setFallbacksEnabled(false);
    return settings;
}
