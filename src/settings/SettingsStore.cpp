#include "settings/SettingsStore.h"

#include "settings/UserSettings.h"

#include <QDir>
#include <QStringList>

namespace {
QString settingPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

// A value with an unquoted comma reads back as a list; shown joined, it is what the file holds.
QString storedText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}
} // namespace

QString GetSetting(const QString& application, const QString& section, const QString& key, std::int16_t defaultValue)
{
    const std::unique_ptr<QSettings> settings = openUserSettings(application);
    const QVariant value = settings->value(settingPath(section, key));
    return value.isValid() ? storedText(value) : QString::number(defaultValue);
}

bool SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value,
                 QString* whyNot)
{
    // A store that cannot be read whole would be rewritten from what little could be read of it.
    QString location;
    const QString problem = userSettingsReadProblem(application, &location);
    if (!problem.isEmpty()) {
        if (whyNot)
            *whyNot = QDir::toNativeSeparators(location) + QStringLiteral(" cannot be read (%1)").arg(problem);
        return false;
    }
    const std::unique_ptr<QSettings> settings = openUserSettings(application);
    settings->setValue(settingPath(section, key), value);
    // QSettings only writes on sync() or later; the value must be on disk before the caller goes on.
    settings->sync();
    const QSettings::Status status = settings->status();
    if (status == QSettings::NoError)
        return true;
    if (whyNot) {
        const QString store = QDir::toNativeSeparators(settings->fileName());
        *whyNot = status == QSettings::FormatError ? store + QStringLiteral(" could not be read as a settings file")
                                                   : store + QStringLiteral(" cannot be written");
    }
    return false;
}
