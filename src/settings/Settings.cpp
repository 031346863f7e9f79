#include "settings/Settings.h"

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "settings/UserSettings.h"
#include "ui/frmScheduler.h"

#include <QDir>
#include <QSignalBlocker>
#include <QtDebug>

namespace {
QString settingsSection()
{
    return QStringLiteral("Settings");
}

QString applicationName(const frmScheduler& form)
{
    return form.platform().application->baseName();
}

int controlValue(const QWidget& control)
{
    if (const auto* box = qobject_cast<const VbCheckBox*>(&control))
        return box->value();
    return qobject_cast<const VbComboBox*>(&control)->listIndex();
}

bool setControlValue(QWidget& control, int value)
{
    if (auto* box = qobject_cast<VbCheckBox*>(&control))
        return box->setValue(value);
    return qobject_cast<VbComboBox*>(&control)->setListIndex(value);
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

// A store that exists but cannot be read: every control takes its default, and the store is left exactly as
// it is, since writing the defaults back would overwrite the operator's choices for good.
void loadDefaultsOnly(frmScheduler& form, const QString& store, const QString& problem)
{
    const QString text =
        QStringLiteral("The settings store %1 cannot be read (%2); the defaults are in use and no change is saved.")
            .arg(QDir::toNativeSeparators(store), problem);
    form.setSettingsStoreProblem(text);
    form.AddLogLine(QStringLiteral(": ") + text);
    qWarning("%ls", qUtf16Printable(text));
    for (const SettingRow& row : settingRows) {
        QWidget& control = form.settingControl(row);
        const QSignalBlocker noSave(control);
        setControlValue(control, row.defaultValue);
    }
}
} // namespace

void LoadSettings(frmScheduler& form)
{
    QString store;
    const QString problem = userSettingsReadProblem(applicationName(form), &store);
    if (!problem.isEmpty()) {
        loadDefaultsOnly(form, store, problem);
        return;
    }
    for (const SettingRow& row : settingRows) {
        const QString key = QLatin1String(row.key);
        QWidget& control = form.settingControl(row);
        const QString stored = GetSetting(applicationName(form), settingsSection(), key, row.defaultValue);
        const std::optional<std::int16_t> value = settingValueFromText(stored);
        if (value && setControlValue(control, *value))
            continue;

        form.AddLogLine(
            QStringLiteral(": Setting \"%1\" held the unusable value \"%2\"; the default %3 is used instead.")
                .arg(key, shownText(stored), QString::number(row.defaultValue)));
        const int before = controlValue(control);
        setControlValue(control, row.defaultValue);
        // Writing the default back keeps the next start clean. A control that already showed the default
        // raised no click, so no handler has written it yet.
        if (before == row.defaultValue)
            SaveControlSetting(form, control);
    }
}

void SaveControlSetting(frmScheduler& form, const QWidget& control)
{
    const SettingRow* row = settingRowOfControl(control.objectName());
    Q_ASSERT(row);
    const QString key = QLatin1String(row->key);
    const QString text = QString::number(controlValue(control));
    if (!form.settingsStoreProblem().isEmpty()) {
        form.AddLogLine(
            QStringLiteral(": Setting \"%1\" was not saved as %2: the settings store could not be read at start.")
                .arg(key, text));
        return;
    }
    QString whyNot;
    if (!SaveSetting(applicationName(form), settingsSection(), key, text, &whyNot))
        form.AddLogLine(QStringLiteral(": Setting \"%1\" could not be saved as %2: %3.").arg(key, text, whyNot));
}
