#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The platform's per-user store for one application name, where the settings of the program it replaces
// were kept: an INI file in the user's configuration folder on POSIX, the registry on Windows.
std::unique_ptr<QSettings> openUserSettings(const QString& application);
