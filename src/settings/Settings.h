#pragma once

#include <QString>

class SettingsControls;
enum class Setting;

// The ten job choices that survive a restart: loaded into their controls once per start, and each written
// to the per-user store the moment its control changes.
class Settings
{
public:
    explicit Settings(SettingsControls& controls);

    // Copies the ten stored job choices into their controls, with their defaults where nothing is stored. A
    // control that changes raises its click, which stores the value again. A stored value that cannot be
    // used gets one log pane line naming key and value, and its default replaces it in the control and the
    // store; the other settings load as usual. A store that cannot be read at all is left as it is: the
    // defaults are used, nothing is saved for the rest of the run, and the pane and standard error say so.
    void LoadSettings();

    // The click of the setting's control: stores its current value under its key before returning. When the store
    // refuses, the control keeps its value and a log pane line says which setting was not saved and why.
    void controlClicked(Setting setting);

private:
    void loadDefaultsOnly(const QString& store, const QString& problem);

    SettingsControls& m_controls;
    // Why the store could not be read at start; while it is set, nothing is saved.
    QString m_storeProblem;
    bool m_loadingDefaultsOnly = false;
};
