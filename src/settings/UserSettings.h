#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The platform's per-user store for one application name: an INI file in the user's configuration folder on
// POSIX, the registry on Windows.
std::unique_ptr<QSettings> openUserSettings(const QString& application);

// Why the store of application cannot be read whole, or an empty text when it can, or when nothing is stored
// yet. Never blocks: what is not a regular file (a folder, a FIFO, a device) is refused without being opened,
// and of a file no more is read than a settings file may hold. location receives the store's name as the
// operator would look for it.
QString userSettingsReadProblem(const QString& application, QString* location);
