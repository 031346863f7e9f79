#pragma once

#include <QString>

#include <cstdint>

// The per-user settings store: text values addressed by application name, section and key. Each call opens
// the store afresh, so a change of the application name between calls takes effect at once.

// The value stored under the three names, or the decimal text of defaultValue when none is stored there.
QString GetSetting(const QString& application, const QString& section, const QString& key, std::int16_t defaultValue);

// Creates or replaces the value and writes it through to permanent storage before returning. A store that
// cannot be read whole (see userSettingsReadProblem) is left as it is. On failure returns false and, when
// whyNot is given, says why in a sentence fragment that names the store.
bool SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value,
                 QString* whyNot = nullptr);
