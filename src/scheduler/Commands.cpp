#include "scheduler/Prompts.h"
#include "settings/Settings.h"
#include "ui/StatusLamp.h"
#include "ui/frmScheduler.h"

namespace {

constexpr int kTickPeriodMs = 60000;
const QLatin1String kAccessCode("4713");

} // namespace

void frmScheduler::Form_Load()
{
    // The window comes up locked; cmdUnlock stays enabled as created, so exactly one of Lock and Unlock works.
    fraCMD->setEnabled(false);
    cmdLock->setEnabled(false);
    LoadSettings(*this);
    tmrScheduler->setInterval(kTickPeriodMs);
    if (chkAutoStart->value() == VbCheckBox::Checked)
        cmdStart_Click();
    setWindowTitle(QStringLiteral("Zor Scheduler   Version %1.%2.%3")
                       .arg(PROJECT_VERSION_MAJOR)
                       .arg(PROJECT_VERSION_MINOR)
                       .arg(PROJECT_VERSION_TWEAK));
}

// Start and Stop repeat their whole effect in any state. Starting a running timer keeps its minute rhythm
// (VbTimer), so a second Start only adds its line.
void frmScheduler::cmdStart_Click()
{
    tmrScheduler->setEnabled(true);
    shpStatus->setBackColor(StatusLamp::Green);
    AddLogLine(QStringLiteral(": Timer Started!"));
}

void frmScheduler::cmdStop_Click()
{
    tmrScheduler->setEnabled(false);
    shpStatus->setBackColor(StatusLamp::Red);
    AddLogLine(QStringLiteral(": Timer Stopped!"));
}

void frmScheduler::cmdLock_Click()
{
    fraCMD->setEnabled(false);
    cmdLock->setEnabled(false);
    cmdUnlock->setEnabled(true);
}

void frmScheduler::cmdUnlock_Click()
{
    // A wrong code, a code with blanks around it and a cancelled prompt are all ignored without a word.
    const QString answer = inputBox(this, QStringLiteral("رمز عبور:"), QStringLiteral("سوال"), QString());
    if (answer != kAccessCode)
        return;
    fraCMD->setEnabled(true);
    cmdLock->setEnabled(true);
    cmdUnlock->setEnabled(false);
}

void frmScheduler::cmdClear_Click()
{
    if (txtLog->isEmpty())
        return;
    // Ticks run while the question is open, so what is archived is the pane as it is when Yes is pressed.
    const int answer = messageBox(this, QStringLiteral("Are you sure to clear log?"),
                                  MessageBoxStyle::YesNo | MessageBoxStyle::Question, QStringLiteral("Alert"));
    if (answer == MessageBoxAnswer::Yes)
        ClearLog();
}

void frmScheduler::Form_QueryUnload(std::int16_t& cancel, int /*unloadMode*/)
{
    const int answer = messageBox(this,
                                  QStringLiteral("برنامه زمانبندي Zor بايد درحال اجرا باشد، در صورت ادامه ممکن است "
                                                 "انتقال اطلاعات دچار مشکل شود!\r\nآيا ادامه ميدهيد؟"),
                                  MessageBoxStyle::YesNoCancel | MessageBoxStyle::Critical |
                                      MessageBoxStyle::RightAlign | MessageBoxStyle::RtlReading,
                                  QStringLiteral("اخطار"));
    if (answer != MessageBoxAnswer::Yes)
        cancel = 1;
}
