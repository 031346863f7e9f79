#include "settings/Settings.h"
#include "ui/StatusLamp.h"
#include "ui/frmScheduler.h"

namespace {
constexpr int kTickPeriodMs = 60000;
}

void frmScheduler::Form_Load()
{
    LoadSettings(*this);
    tmrScheduler->setInterval(kTickPeriodMs);
    if (chkAutoStart->value() == VbCheckBox::Checked)
        cmdStart_Click();
    setWindowTitle(QStringLiteral("Zor Scheduler   Version %1.%2.%3")
                       .arg(PROJECT_VERSION_MAJOR)
                       .arg(PROJECT_VERSION_MINOR)
                       .arg(PROJECT_VERSION_TWEAK));
}

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

void frmScheduler::cmdLock_Click() {}

void frmScheduler::cmdUnlock_Click() {}

void frmScheduler::cmdClear_Click() {}

void frmScheduler::Form_QueryUnload(std::int16_t&, int) {}
