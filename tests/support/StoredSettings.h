#pragma once

#include <QMap>
#include <QString>

// The settings store of one application name as the scheduler keeps it, seen without the scheduler's own code,
// so that a test sees what is really stored: on POSIX the INI file $XDG_CONFIG_HOME/<name>.conf, read and
// written as text; on Windows the key "HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<name>\Settings"
// of the registry, through the Windows API. Only the section "Settings" is looked at.
namespace StoredSettings {

// The file's path, or the key's full name.
QString location(const QString& application);

// Every value stored, by key; empty when nothing is stored.
QMap<QString, QString> values(const QString& application);

// Replaces whatever is stored by values. On POSIX a value with blanks at either end is written quoted and a
// line break as \n; anything else goes into the file as it is (so "1,2" is what QSettings reads as a list).
bool store(const QString& application, const QMap<QString, QString>& values);

// Removes the store, whatever is in its place, so that the next start finds nothing stored.
void clear(const QString& application);

} // namespace StoredSettings
