#include "settings/Settings.h"

#include "platform/ApplicationInfo.h"
#include "settings/SettingsControls.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "settings/UserSettings.h"

#include <QDir>
#include <QtDebug>

namespace {

QString settingsSection()
{
    return QStringLiteral("Settings");
}

// A damaged store may hold anything; the pane line gets it on one line and of modest length.
QString shownText(const QString& stored)
{
    constexpr qsizetype longest = 40;
    QString shown = stored.left(longest);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return stored.size() > longest ? shown + QStringLiteral("...") : shown;
}

} // namespace

Settings::Settings(SettingsControls& controls) : m_controls(controls) {}

void Settings::LoadSettings()
{
    const QString application = m_controls.application().baseName();
    QString store;
    const QString problem = userSettingsReadProblem(application, &store);
    if (!problem.isEmpty()) {
        loadDefaultsOnly(store, problem);
        return;
    }
    for (const SettingRow& row : settingRows) {
        const QString key = QLatin1String(row.key);
        const QString stored = GetSetting(application, settingsSection(), key, row.defaultValue);
        const std::optional<std::int16_t> value = settingValueFromText(stored);
        if (value && m_controls.setSettingValue(row.setting, *value))
            continue;

        m_controls.AddLogLine(
            QStringLiteral(": Setting \"%1\" held the unusable value \"%2\"; the default %3 is used instead.")
                .arg(key, shownText(stored), QString::number(row.defaultValue)),
            {SystemEventId::SettingReplaced, {}, {{"SETTING", row.key}}});
        const int before = m_controls.settingValue(row.setting);
        m_controls.setSettingValue(row.setting, row.defaultValue);
        // Writing the default back keeps the next start clean. A control that already showed the default
        // raised no click, so nothing has written it yet.
        if (before == row.defaultValue)
            controlClicked(row.setting);
    }
}

// A store that exists but cannot be read: every control takes its default, and the store is left exactly as
// it is, since writing the defaults back would overwrite the operator's choices for good.
void Settings::loadDefaultsOnly(const QString& store, const QString& problem)
{
    m_storeProblem =
        QStringLiteral("The settings store %1 cannot be read (%2); the defaults are in use and no change is saved.")
            .arg(QDir::toNativeSeparators(store), problem);
    m_controls.AddLogLine(QStringLiteral(": ") + m_storeProblem,
                          {SystemEventId::SettingsUnreadable, {}, {{"STORE", store.toStdString()}}});
    qWarning("%ls", qUtf16Printable(m_storeProblem));
    m_loadingDefaultsOnly = true;
    for (const SettingRow& row : settingRows)
        m_controls.setSettingValue(row.setting, row.defaultValue);
    m_loadingDefaultsOnly = false;
}

void Settings::controlClicked(Setting setting)
{
    const QString key = QLatin1String(settingRow(setting).key);
    const QString text = QString::number(m_controls.settingValue(setting));
    if (!m_storeProblem.isEmpty()) {
        // The defaults that replace an unreadable store are said once, by the line above; the operator's
        // later changes each get theirs.
        if (!m_loadingDefaultsOnly)
            m_controls.AddLogLine(
                QStringLiteral(": Setting \"%1\" was not saved as %2: the settings store could not be read at start.")
                    .arg(key, text),
                {SystemEventId::SettingNotSaved, {}, {{"SETTING", key.toStdString()}}});
        return;
    }
    QString whyNot;
    if (!SaveSetting(m_controls.application().baseName(), settingsSection(), key, text, &whyNot))
        m_controls.AddLogLine(QStringLiteral(": Setting \"%1\" could not be saved as %2: %3.").arg(key, text, whyNot),
                              {SystemEventId::SettingNotSaved, {}, {{"SETTING", key.toStdString()}}});
}
