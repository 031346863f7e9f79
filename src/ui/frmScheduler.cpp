#include "ui/frmScheduler.h"

#include "log/ActivityLog.h"
#include "log/JournalFlush.h"
#include "scheduler/Commands.h"
#include "scheduler/JobTable.h"
#include "scheduler/JobTick.h"
#include "ui/ControlTag.h"
#include "ui/Prompts.h"
#include "scheduler/VbTimer.h"
#include "ui_frmScheduler.h"

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

// Each job row and each setting with the form's controls that show it; a setting also with the handler of
// its control's click. The form's own members name the controls, so a control that the form lacks, or one of
// another kind, does not compile.
using Form = Ui::frmScheduler;

struct JobBinding
{
    JobRow row;
    VbCheckBox* Form::*box;
    VbComboBox* Form::*combo;
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
    VbCheckBox* Form::*box;
    VbComboBox* Form::*combo;
    void (frmScheduler::*clicked)();
};

const SettingBinding kSettingBindings[] = {
    {Setting::AutoStart, &Form::chkAutoStart, nullptr, &frmScheduler::chkAutoStart_Click},
    {Setting::CleanBackupDir, &Form::chkCleanBackupDir, nullptr, &frmScheduler::chkCleanBackupDir_Click},
    {Setting::ProcessInternetOrders, &Form::chkProcessInternetOrders, nullptr,
     &frmScheduler::chkProcessInternetOrders_Click},
    {Setting::RunUpdateManager, &Form::chkRunUpdateManager, nullptr, &frmScheduler::chkRunUpdateManager_Click},
    {Setting::SendSms, &Form::chkSendSms, nullptr, &frmScheduler::chkSendSms_Click},
    {Setting::TransferData, &Form::chkTransferData, nullptr, &frmScheduler::chkTransferData_Click},
    {Setting::TransferPerson, &Form::chkTransferPerson, nullptr, &frmScheduler::chkTransferPerson_Click},
    {Setting::TransferDataInterval, nullptr, &Form::cmbMIn, &frmScheduler::cmbMIn_Click},
    {Setting::SMSStartTime, nullptr, &Form::cmbSMSTime, &frmScheduler::cmbSMSTime_Click},
    {Setting::TransferPersonInterval, nullptr, &Form::cmbTransferMin, &frmScheduler::cmbTransferMin_Click},
};

static_assert(std::size(kJobBindings) == kJobRowCount && std::size(kSettingBindings) == settingRows.size(),
              "every row has its controls");

} // namespace

frmScheduler::frmScheduler(Platform platform, QWidget* parent)
    : QWidget(parent), m_platform(std::move(platform)), m_timer(new VbTimer(m_platform.clock, this)),
      m_ui(std::make_unique<Ui::frmScheduler>())
{
    substituteDialogFont();
    m_ui->setupUi(this);
    m_timer->setObjectName(QStringLiteral("tmrScheduler"));
    setUpLooks();
    bindControls();
    m_log = std::make_unique<ActivityLog>(*m_ui->txtLog, *m_platform.clock, *m_platform.application);
    connectHandlers();
}

QSize frmScheduler::clientSize()
{
    QWidget form;
    Ui::frmScheduler().setupUi(&form);
    return form.size();
}

frmScheduler::~frmScheduler() = default;

void frmScheduler::setUpLooks()
{
    // The form leaves every combo box with no entry selected and an empty field; the two editable ones show
    // "Combo1" there until an entry is chosen.
    m_ui->cmbTransferMin->setEditText(QStringLiteral("Combo1"));
    m_ui->cmbMIn->setEditText(QStringLiteral("Combo1"));

    setWindowIcon(programIcon());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));
    m_ui->txtLog->setFocus();
}

void frmScheduler::bindControls()
{
    Form& form = *m_ui;
    for (const JobBinding& binding : kJobBindings)
        m_jobControls.at(indexOf(binding.row)) = {form.*binding.box, binding.combo ? form.*binding.combo : nullptr};
    for (const SettingBinding& binding : kSettingBindings) {
        m_settingControls.at(static_cast<std::size_t>(binding.setting)) = {
            binding.box ? form.*binding.box : nullptr, binding.combo ? form.*binding.combo : nullptr};
    }
}

void frmScheduler::connectHandlers()
{
    connect(m_timer, &VbTimer::timeout, this, &frmScheduler::tmrScheduler_Timer);
    connect(m_ui->cmdStart, &QPushButton::clicked, this, &frmScheduler::cmdStart_Click);
    connect(m_ui->cmdStop, &QPushButton::clicked, this, &frmScheduler::cmdStop_Click);
    connect(m_ui->cmdLock, &QPushButton::clicked, this, &frmScheduler::cmdLock_Click);
    connect(m_ui->cmdUnlock, &QPushButton::clicked, this, &frmScheduler::cmdUnlock_Click);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &frmScheduler::cmdClear_Click);

    // A click notification is raised whenever the value changes, by the operator or by the program.
    for (const SettingBinding& binding : kSettingBindings) {
        const Controls& controls = m_settingControls.at(static_cast<std::size_t>(binding.setting));
        if (controls.box)
            connect(controls.box, &VbCheckBox::valueChanged, this, binding.clicked);
        else
            connect(controls.combo, &VbComboBox::listIndexChanged, this, binding.clicked);
    }
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

void frmScheduler::recoverLastRun()
{
    m_log->recoverLastRun();
}

void frmScheduler::archiveLogAtExit(std::ostream& errors)
{
    m_log->archiveAtExit(errors);
}

void frmScheduler::Form_Load()
{
    const JournalFlush flush(*m_log);
    loadWindow(*this);
}

void frmScheduler::Form_QueryUnload(std::int16_t& cancel, int /*unloadMode*/)
{
    if (!closeMayGoAhead(*this))
        cancel = 1;
}

void frmScheduler::cmdStart_Click()
{
    const JournalFlush flush(*m_log);
    startCommand(*this);
}

void frmScheduler::cmdStop_Click()
{
    const JournalFlush flush(*m_log);
    stopCommand(*this);
}

void frmScheduler::cmdLock_Click()
{
    lockCommand(*this);
}

void frmScheduler::cmdUnlock_Click()
{
    unlockCommand(*this);
}

void frmScheduler::cmdClear_Click()
{
    const JournalFlush flush(*m_log);
    clearLogCommand(*this);
}

void frmScheduler::chkAutoStart_Click()
{
    settingClicked(Setting::AutoStart);
}

void frmScheduler::chkCleanBackupDir_Click()
{
    settingClicked(Setting::CleanBackupDir);
}

void frmScheduler::chkProcessInternetOrders_Click()
{
    settingClicked(Setting::ProcessInternetOrders);
}

void frmScheduler::chkRunUpdateManager_Click()
{
    settingClicked(Setting::RunUpdateManager);
}

void frmScheduler::chkSendSms_Click()
{
    settingClicked(Setting::SendSms);
}

void frmScheduler::chkTransferData_Click()
{
    settingClicked(Setting::TransferData);
}

void frmScheduler::chkTransferPerson_Click()
{
    settingClicked(Setting::TransferPerson);
}

void frmScheduler::cmbMIn_Click()
{
    settingClicked(Setting::TransferDataInterval);
}

void frmScheduler::cmbSMSTime_Click()
{
    settingClicked(Setting::SMSStartTime);
}

void frmScheduler::cmbTransferMin_Click()
{
    settingClicked(Setting::TransferPersonInterval);
}

void frmScheduler::tmrScheduler_Timer()
{
    const JournalFlush flush(*m_log);
    runJobTick(*this);
}

void frmScheduler::settingClicked(Setting setting)
{
    const JournalFlush flush(*m_log);
    m_settings.controlClicked(setting);
}

int frmScheduler::jobValue(JobRow row) const
{
    return m_jobControls.at(indexOf(row)).box->value();
}

std::optional<int> frmScheduler::jobNumber(JobRow row) const
{
    const VbComboBox* combo = m_jobControls.at(indexOf(row)).combo;
    if (!combo)
        return std::nullopt;
    return numberSpelledBy(combo->list(combo->listIndex()));
}

QString frmScheduler::jobTag(JobRow row) const
{
    return controlTag(m_jobControls.at(indexOf(row)).box);
}

void frmScheduler::setJobTag(JobRow row, const QString& tag)
{
    setControlTag(m_jobControls.at(indexOf(row)).box, tag);
}

QString frmScheduler::logTag() const
{
    return controlTag(m_ui->txtLog);
}

void frmScheduler::setLogTag(const QString& tag)
{
    setControlTag(m_ui->txtLog, tag);
}

void frmScheduler::AddLogLine(const QString& message, const SystemEvent& event)
{
    m_log->AddLogLine(message, event);
}

bool frmScheduler::ClearLog()
{
    return m_log->ClearLog();
}

bool frmScheduler::isLogEmpty() const
{
    return m_ui->txtLog->isEmpty();
}

void frmScheduler::setTimerInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

void frmScheduler::setTimerEnabled(bool enabled)
{
    m_timer->setEnabled(enabled);
}

void frmScheduler::enableTimerAfterTick(const QDateTime& tickMoment)
{
    m_timer->enableAfterTick(tickMoment);
}

void frmScheduler::setLampColor(int color)
{
    m_ui->shpStatus->setBackColor(color);
}

void frmScheduler::setLocked(bool locked)
{
    m_ui->fraCMD->setEnabled(!locked);
    m_ui->cmdLock->setEnabled(!locked);
    m_ui->cmdUnlock->setEnabled(locked);
}

void frmScheduler::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

int frmScheduler::autoStartValue() const
{
    return m_ui->chkAutoStart->value();
}

void frmScheduler::LoadSettings()
{
    m_settings.LoadSettings();
}

int frmScheduler::messageBox(const QString& text, int style, const QString& title)
{
    return ::messageBox(this, text, style, title);
}

QString frmScheduler::inputBox(const QString& prompt, const QString& title, const QString& preset)
{
    return ::inputBox(this, prompt, title, preset);
}

int frmScheduler::settingValue(Setting setting) const
{
    const Controls& controls = m_settingControls.at(static_cast<std::size_t>(setting));
    return controls.box ? controls.box->value() : controls.combo->listIndex();
}

bool frmScheduler::setSettingValue(Setting setting, int value)
{
    const Controls& controls = m_settingControls.at(static_cast<std::size_t>(setting));
    return controls.box ? controls.box->setValue(value) : controls.combo->setListIndex(value);
}
