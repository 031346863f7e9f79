#include "ui/frmScheduler.h"

#include "log/ActivityLog.h"
#include "scheduler/JobTick.h"
#include "ui/StatusLamp.h"

#include <QCloseEvent>

frmScheduler::frmScheduler(Platform platform, QWidget* parent)
    : QWidget(parent), tmrScheduler(new VbTimer(this)), m_platform(std::move(platform))
{
    setupUi(this);
    tmrScheduler->setObjectName(QStringLiteral("tmrScheduler"));
    m_log = std::make_unique<ActivityLog>(*txtLog, *m_platform.clock, *m_platform.application);

    connect(tmrScheduler, &QTimer::timeout, this, &frmScheduler::tmrScheduler_Timer);
    connect(cmdStart, &QPushButton::clicked, this, &frmScheduler::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmScheduler::cmdStop_Click);
    connect(cmdLock, &QPushButton::clicked, this, &frmScheduler::cmdLock_Click);
    connect(cmdUnlock, &QPushButton::clicked, this, &frmScheduler::cmdUnlock_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmScheduler::cmdClear_Click);

    // A click notification is raised whenever the value changes, by the operator or by the program.
    connect(chkAutoStart, &VbCheckBox::valueChanged, this, &frmScheduler::chkAutoStart_Click);
    connect(chkCleanBackupDir, &VbCheckBox::valueChanged, this, &frmScheduler::chkCleanBackupDir_Click);
    connect(chkProcessInternetOrders, &VbCheckBox::valueChanged, this, &frmScheduler::chkProcessInternetOrders_Click);
    connect(chkRunUpdateManager, &VbCheckBox::valueChanged, this, &frmScheduler::chkRunUpdateManager_Click);
    connect(chkSendSms, &VbCheckBox::valueChanged, this, &frmScheduler::chkSendSms_Click);
    connect(chkTransferData, &VbCheckBox::valueChanged, this, &frmScheduler::chkTransferData_Click);
    connect(chkTransferPerson, &VbCheckBox::valueChanged, this, &frmScheduler::chkTransferPerson_Click);
    connect(cmbMIn, &VbComboBox::listIndexChanged, this, &frmScheduler::cmbMIn_Click);
    connect(cmbSMSTime, &VbComboBox::listIndexChanged, this, &frmScheduler::cmbSMSTime_Click);
    connect(cmbTransferMin, &VbComboBox::listIndexChanged, this, &frmScheduler::cmbTransferMin_Click);
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

void frmScheduler::closeEvent(QCloseEvent* event)
{
    // Every close request, whatever its cause, goes through the close question.
    std::int16_t cancel = 0;
    Form_QueryUnload(cancel, 0);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void frmScheduler::tmrScheduler_Timer()
{
    runJobTick(*this);
}
