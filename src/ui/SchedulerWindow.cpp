#include "ui/SchedulerWindow.h"

#include "log/ActivityLog.h"
#include "log/JournalFlush.h"
#include "scheduler/Commands.h"
#include "scheduler/JobTable.h"
#include "scheduler/JobTick.h"
#include "scheduler/MinuteTimer.h"
#include "ui/ControlLatch.h"
#include "ui/ControlTips.h"
#include "ui/Prompts.h"
#include "ui_SchedulerWindow.h"

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
    for (int size : {ZOR_ICON_SIZES})
        icon.addFile(QStringLiteral(":/icons/zorScheduler-%1.png").arg(size), QSize(size, size));
    return icon;
}

// Each job row and each setting with the form's controls that show it. The form's own members name the controls, so a
// control that the form lacks, or one of another kind, does not compile.
using Form = Ui::SchedulerWindow;

struct JobBinding
{
    JobRow row;
    ValueCheckBox* Form::*box;
    IndexComboBox* Form::*combo;
};

const JobBinding kJobBindings[] = {
    {JobRow::TransferPerson, &Form::chkTransferPerson, &Form::cmbTransferMin},
    {JobRow::ProcessInternetOrders, &Form::chkProcessInternetOrders, nullptr},
    {JobRow::SendSms, &Form::chkSendSms, &Form::cmbSMSTime},
    {JobRow::TransferData, &Form::chkTransferData, &Form::cmbMIn},
    {JobRow::CleanBackupDir, &Form::chkCleanBackupDir, nullptr},
    {JobRow::RunUpdateManager, &Form::chkRunUpdateManager, nullptr},
    {JobRow::BackupDatabase, &Form::chkBackupDatabase, nullptr},
};

struct SettingBinding
{
    Setting setting;
    ValueCheckBox* Form::*box;
    IndexComboBox* Form::*combo;
};

const SettingBinding kSettingBindings[] = {
    {Setting::AutoStart, &Form::chkAutoStart, nullptr},
    {Setting::CleanBackupDir, &Form::chkCleanBackupDir, nullptr},
    {Setting::ProcessInternetOrders, &Form::chkProcessInternetOrders, nullptr},
    {Setting::RunUpdateManager, &Form::chkRunUpdateManager, nullptr},
    {Setting::SendSms, &Form::chkSendSms, nullptr},
    {Setting::TransferData, &Form::chkTransferData, nullptr},
    {Setting::TransferPerson, &Form::chkTransferPerson, nullptr},
    {Setting::TransferDataInterval, nullptr, &Form::cmbMIn},
    {Setting::SMSStartTime, nullptr, &Form::cmbSMSTime},
    {Setting::TransferPersonInterval, nullptr, &Form::cmbTransferMin},
};

static_assert(std::size(kJobBindings) == kJobRowCount && std::size(kSettingBindings) == settingRows.size(),
              "every row has its controls");

} // namespace

SchedulerWindow::SchedulerWindow(Platform platform, QWidget* parent)
    : QWidget(parent), m_platform(std::move(platform)), m_timer(new MinuteTimer(m_platform.clock, this)),
      m_ui(std::make_unique<Ui::SchedulerWindow>())
{
    substituteDialogFont();
    m_ui->setupUi(this);
    m_timer->setObjectName(QStringLiteral("tmrScheduler"));
    setUpLooks();
    bindControls();
    m_log = std::make_unique<ActivityLog>(*m_ui->txtLog, *m_platform.clock, *m_platform.application);
    connectHandlers();
    std::array<ControlTips::JobControls, kJobRowCount> tipControls{};
    for (std::size_t i = 0; i < kJobRowCount; ++i)
        tipControls.at(i) = {m_jobControls.at(i).box, m_jobControls.at(i).combo};
    m_tips = std::make_unique<ControlTips>(*this, *m_timer, *m_ui->shpStatus, tipControls);
}

QSize SchedulerWindow::clientSize()
{
    QWidget form;
    Ui::SchedulerWindow().setupUi(&form);
    return form.size();
}

SchedulerWindow::~SchedulerWindow() = default;

void SchedulerWindow::setUpLooks()
{
    // The form leaves every combo box with no entry selected and an empty field; the two editable ones show
    // "Combo1" there until an entry is chosen.
    m_ui->cmbTransferMin->setEditText(QStringLiteral("Combo1"));
    m_ui->cmbMIn->setEditText(QStringLiteral("Combo1"));

    setWindowIcon(programIcon());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));
    m_ui->txtLog->setFocus();
}

void SchedulerWindow::bindControls()
{
    Form& form = *m_ui;
    for (const JobBinding& binding : kJobBindings)
        m_jobControls.at(indexOf(binding.row)) = {form.*binding.box, binding.combo ? form.*binding.combo : nullptr};
    for (const SettingBinding& binding : kSettingBindings) {
        m_settingControls.at(static_cast<std::size_t>(binding.setting)) = {
            binding.box ? form.*binding.box : nullptr, binding.combo ? form.*binding.combo : nullptr};
    }
}

void SchedulerWindow::connectHandlers()
{
    connect(m_timer, &MinuteTimer::timeout, this, &SchedulerWindow::tmrScheduler_Timer);
    connect(m_ui->cmdStart, &QPushButton::clicked, this, &SchedulerWindow::cmdStart_Click);
    connect(m_ui->cmdStop, &QPushButton::clicked, this, &SchedulerWindow::cmdStop_Click);
    connect(m_ui->cmdLock, &QPushButton::clicked, this, &SchedulerWindow::cmdLock_Click);
    connect(m_ui->cmdUnlock, &QPushButton::clicked, this, &SchedulerWindow::cmdUnlock_Click);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &SchedulerWindow::cmdClear_Click);

    // A click notification is raised whenever the value changes, by the operator or by the program.
    for (const SettingBinding& binding : kSettingBindings) {
        const Setting setting = binding.setting;
        const Controls& controls = m_settingControls.at(static_cast<std::size_t>(setting));
        if (controls.box)
            connect(controls.box, &ValueCheckBox::valueChanged, this, [this, setting] { settingChanged(setting); });
        else
            connect(controls.combo, &IndexComboBox::listIndexChanged, this,
                    [this, setting] { settingChanged(setting); });
    }
}

void SchedulerWindow::closeEvent(QCloseEvent* event)
{
    // Every close request, whatever its cause, goes through the close question.
    if (closeMayGoAhead(*this))
        event->accept();
    else
        event->ignore();
}

void SchedulerWindow::recoverLastRun()
{
    m_log->recoverLastRun();
}

void SchedulerWindow::archiveLogAtExit(std::ostream& errors)
{
    m_log->archiveAtExit(errors);
}

void SchedulerWindow::Form_Load()
{
    const JournalFlush flush(*m_log);
    loadWindow(*this);
}

void SchedulerWindow::cmdStart_Click()
{
    const JournalFlush flush(*m_log);
    startCommand(*this);
}

void SchedulerWindow::cmdStop_Click()
{
    const JournalFlush flush(*m_log);
    stopCommand(*this);
}

void SchedulerWindow::cmdLock_Click()
{
    lockCommand(*this);
}

void SchedulerWindow::cmdUnlock_Click()
{
    unlockCommand(*this);
}

void SchedulerWindow::cmdClear_Click()
{
    const JournalFlush flush(*m_log);
    clearLogCommand(*this);
}

void SchedulerWindow::tmrScheduler_Timer()
{
    const JournalFlush flush(*m_log);
    runJobTick(*this);
}

void SchedulerWindow::settingChanged(Setting setting)
{
    const JournalFlush flush(*m_log);
    m_settings.controlClicked(setting);
}

int SchedulerWindow::jobValue(JobRow row) const
{
    return m_jobControls.at(indexOf(row)).box->value();
}

std::optional<int> SchedulerWindow::jobNumber(JobRow row) const
{
    const IndexComboBox* combo = m_jobControls.at(indexOf(row)).combo;
    if (!combo)
        return std::nullopt;
    return numberSpelledBy(combo->list(combo->listIndex()));
}

QString SchedulerWindow::jobLatch(JobRow row) const
{
    return controlLatch(m_jobControls.at(indexOf(row)).box);
}

void SchedulerWindow::setJobLatch(JobRow row, const QString& tag)
{
    setControlLatch(m_jobControls.at(indexOf(row)).box, tag);
}

QString SchedulerWindow::archiveLatch() const
{
    return controlLatch(m_ui->txtLog);
}

void SchedulerWindow::setArchiveLatch(const QString& tag)
{
    setControlLatch(m_ui->txtLog, tag);
}

void SchedulerWindow::jobRunChanged(JobRow row)
{
    m_tips->jobRunChanged(row);
}

void SchedulerWindow::AddLogLine(const QString& message, const SystemEvent& event)
{
    m_log->AddLogLine(message, event);
}

bool SchedulerWindow::ClearLog()
{
    return m_log->ClearLog();
}

bool SchedulerWindow::isLogEmpty() const
{
    return m_ui->txtLog->isEmpty();
}

void SchedulerWindow::setTimerInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

void SchedulerWindow::setTimerEnabled(bool enabled)
{
    m_timer->setEnabled(enabled);
}

void SchedulerWindow::enableTimerAfterTick(const QDateTime& tickMoment)
{
    m_timer->enableAfterTick(tickMoment);
    m_tips->showTimer();
}

void SchedulerWindow::setLampColor(int color)
{
    m_ui->shpStatus->setBackColor(color);
    m_tips->timerSwitched();
}

void SchedulerWindow::setLocked(bool locked)
{
    m_ui->fraCMD->setEnabled(!locked);
    m_ui->cmdLock->setEnabled(!locked);
    m_ui->cmdUnlock->setEnabled(locked);
}

void SchedulerWindow::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

int SchedulerWindow::autoStartValue() const
{
    return m_ui->chkAutoStart->value();
}

void SchedulerWindow::LoadSettings()
{
    m_settings.LoadSettings();
}

MessageBoxAnswer SchedulerWindow::messageBox(const QString& text, const MessageBoxStyle& style, const QString& title)
{
    return ::messageBox(this, text, style, title);
}

QString SchedulerWindow::inputBox(const QString& prompt, const QString& title, const QString& preset)
{
    return ::inputBox(this, prompt, title, preset);
}

int SchedulerWindow::settingValue(Setting setting) const
{
    const Controls& controls = m_settingControls.at(static_cast<std::size_t>(setting));
    return controls.box ? controls.box->value() : controls.combo->listIndex();
}

bool SchedulerWindow::setSettingValue(Setting setting, int value)
{
    const Controls& controls = m_settingControls.at(static_cast<std::size_t>(setting));
    return controls.box ? controls.box->setValue(value) : controls.combo->setListIndex(value);
}
