#include "ui/frmScheduler.h"

#include "log/ActivityLog.h"
#include "scheduler/JobTick.h"
#include "ui/StatusLamp.h"

namespace {
constexpr int kTickPeriodMs = 60000;
}

frmScheduler::frmScheduler(Platform platform, QWidget* parent)
    : QWidget(parent), tmrScheduler(new VbTimer(this)), m_platform(std::move(platform))
{
    setupUi(this);
    tmrScheduler->setObjectName(QStringLiteral("tmrScheduler"));
    m_log = std::make_unique<ActivityLog>(*txtLog, *m_platform.clock, *m_platform.application);

    connect(tmrScheduler, &QTimer::timeout, this, &frmScheduler::tmrScheduler_Timer);
    connect(cmdStart, &QPushButton::clicked, this, &frmScheduler::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmScheduler::cmdStop_Click);
}

frmScheduler::~frmScheduler() = default;

void frmScheduler::AddLogLine(const QString& message)
{
    m_log->AddLogLine(message);
}

bool frmScheduler::ClearLog()
{
    return m_log->ClearLog();
}

void frmScheduler::Form_Load()
{
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

void frmScheduler::tmrScheduler_Timer()
{
    runJobTick(*this);
}
