#include "settings/Settings.h"

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "ui/frmScheduler.h"

namespace {
QString settingsSection()
{
    return QStringLiteral("Settings");
}

QString applicationName(const frmScheduler& form)
{
    return form.platform().application->baseName();
}

QWidget& settingControl(frmScheduler& form, const SettingRow& row)
{
    QWidget* control = form.findChild<QWidget*>(QLatin1String(row.control));
    Q_ASSERT(control);
    return *control;
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
} // namespace

void LoadSettings(frmScheduler& form)
{
    for (const SettingRow& row : settingRows) {
        const QString key = QLatin1String(row.key);
        QWidget& control = settingControl(form, row);
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
    QString whyNot;
    if (!SaveSetting(applicationName(form), settingsSection(), key, text, &whyNot))
        form.AddLogLine(QStringLiteral(": Setting \"%1\" could not be saved as %2: %3.").arg(key, text, whyNot));
}
