#include "ui/frmScheduler.h"

#include "log/ActivityLog.h"
#include "scheduler/JobTick.h"
#include "scheduler/SchedulerJob.h"
#include "settings/SettingsTable.h"
#include "ui/RequiredControl.h"
#include "ui/StatusLamp.h"

#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QScreen>
#include <QStyle>

namespace {

// The form asks for "MS Sans Serif", which few systems outside Windows have. Without a substitute the font
// database picks the system's default face, whose wider letters run the captions past the right edges of
// their fixed-width boxes; these plain faces keep them inside.
void substituteDialogFont()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans Condensed")});
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zorScheduler-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

frmScheduler::frmScheduler(Platform platform, QWidget* parent)
    : QWidget(parent), tmrScheduler(new VbTimer(platform.clock, this)), m_platform(std::move(platform))
{
    substituteDialogFont();
    setupUi(this);
    setUpLooks();
    tmrScheduler->setObjectName(QStringLiteral("tmrScheduler"));
    resolveControls();
    m_log = std::make_unique<ActivityLog>(*txtLog, *m_platform.clock, *m_platform.application);

    connect(tmrScheduler, &VbTimer::timeout, this, &frmScheduler::tmrScheduler_Timer);
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

void frmScheduler::resolveControls()
{
    static_assert(std::tuple_size_v<decltype(kSchedulerJobs)> == std::tuple_size_v<decltype(m_jobBoxes)>);
    static_assert(std::tuple_size_v<decltype(settingRows)> == std::tuple_size_v<decltype(m_settingControls)>);
    for (std::size_t i = 0; i < kSchedulerJobs.size(); ++i) {
        const SchedulerJob& job = kSchedulerJobs[i];
        m_jobBoxes[i] = requireControl<VbCheckBox>(*this, job.checkBox);
        m_jobCombos[i] = job.numberCombo ? requireControl<VbComboBox>(*this, job.numberCombo) : nullptr;
    }
    for (std::size_t i = 0; i < settingRows.size(); ++i)
        m_settingControls[i] = requireControl<QWidget>(*this, settingRows[i].control);
}

VbCheckBox& frmScheduler::jobBox(const SchedulerJob& job) const
{
    return *m_jobBoxes.at(static_cast<std::size_t>(&job - kSchedulerJobs.data()));
}

VbComboBox* frmScheduler::jobCombo(const SchedulerJob& job) const
{
    return m_jobCombos.at(static_cast<std::size_t>(&job - kSchedulerJobs.data()));
}

QWidget& frmScheduler::settingControl(const SettingRow& row) const
{
    return *m_settingControls.at(static_cast<std::size_t>(&row - settingRows.data()));
}

void frmScheduler::setUpLooks()
{
    // The form leaves every combo box with no entry selected and an empty field; the two editable ones show
    // "Combo1" there until an entry is chosen.
    cmbTransferMin->setEditText(QStringLiteral("Combo1"));
    cmbMIn->setEditText(QStringLiteral("Combo1"));

    setWindowIcon(programIcon());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));
    txtLog->setFocus();
}

void frmScheduler::AddLogLine(const QString& message)
{
    m_log->AddLogLine(message);
}

bool frmScheduler::ClearLog()
{
    return m_log->ClearLog();
}

void frmScheduler::archiveLogAtExit(std::ostream& errors)
{
    m_log->archiveAtExit(errors);
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
