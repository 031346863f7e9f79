#include "scheduler/Commands.h"

#include "scheduler/CommandWindow.h"
#include "scheduler/ControlValues.h"
#include "scheduler/MessageBoxStyle.h"

namespace {

constexpr int kTickPeriodMs = 60000;
const QLatin1String kAccessCode("4713");

} // namespace

void loadWindow(CommandWindow& window)
{
    // The window comes up locked; cmdUnlock is enabled as created, so exactly one of Lock and Unlock works.
    window.setLocked(true);
    window.LoadSettings();
    window.setTimerInterval(kTickPeriodMs);
    if (window.autoStartValue() == CheckBoxValue::Checked)
        startCommand(window);
    window.setCaption(QStringLiteral("Zor Scheduler   Version %1.%2.%3")
                          .arg(PROJECT_VERSION_MAJOR)
                          .arg(PROJECT_VERSION_MINOR)
                          .arg(PROJECT_VERSION_TWEAK));
}

void startCommand(CommandWindow& window)
{
    window.setTimerEnabled(true);
    window.setLampColor(LampColor::Green);
    window.AddLogLine(QStringLiteral(": Timer Started!"), {SystemEventId::TimerStarted, {}, {}});
}

void stopCommand(CommandWindow& window)
{
    window.setTimerEnabled(false);
    window.setLampColor(LampColor::Red);
    window.AddLogLine(QStringLiteral(": Timer Stopped!"), {SystemEventId::TimerStopped, {}, {}});
}

void lockCommand(CommandWindow& window)
{
    window.setLocked(true);
}

void unlockCommand(CommandWindow& window)
{
    const QString answer = window.inputBox(QStringLiteral("رمز عبور:"), QStringLiteral("سوال"), QString());
    if (answer == kAccessCode)
        window.setLocked(false);
}

void clearLogCommand(CommandWindow& window)
{
    if (window.isLogEmpty())
        return;
    const MessageBoxAnswer answer =
        window.messageBox(QStringLiteral("Are you sure to clear log?"),
                          {MessageBoxButtons::YesNo, MessageBoxIcon::Question}, QStringLiteral("Alert"));
    if (answer == MessageBoxAnswer::Yes)
        window.ClearLog();
}

bool closeMayGoAhead(CommandWindow& window)
{
    const MessageBoxAnswer answer =
        window.messageBox(QStringLiteral("برنامه زمانبندي Zor بايد درحال اجرا باشد، در صورت ادامه ممکن است "
                                         "انتقال اطلاعات دچار مشکل شود!\r\nآيا ادامه ميدهيد؟"),
                          {MessageBoxButtons::YesNoCancel, MessageBoxIcon::Critical, true}, QStringLiteral("اخطار"));
    return answer == MessageBoxAnswer::Yes;
}

bool sessionMayEnd(CommandWindow& window, bool interactionAllowed)
{
    return !interactionAllowed || closeMayGoAhead(window);
}
