#pragma once

#include "platform/SystemLog.h"

#include <QString>

class ApplicationInfo;
enum class Setting;

// What the settings need of the window: the ten controls that show the job choices, the executable whose
// name addresses the store, and the log pane for what goes wrong. SchedulerWindow implements it on its real
// controls.
class SettingsControls
{
public:
    virtual ~SettingsControls() = default;

    virtual const ApplicationInfo& application() const = 0;
    // The Value of the setting's check box, or the ListIndex of its combo box.
    virtual int settingValue(Setting setting) const = 0;
    // Sets it as the program does: a change raises the control's click, as the operator's would. A value the
    // control refuses (5 for a check box, 10 for a five-entry list) changes nothing and gives false.
    virtual bool setSettingValue(Setting setting, int value) = 0;
    virtual void AddLogLine(const QString& message, const SystemEvent& event = {}) = 0;
};
