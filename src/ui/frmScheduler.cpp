#include "ui/frmScheduler.h"

#include "log/ActivityLog.h"
#include "scheduler/Commands.h"
#include "scheduler/JobTable.h"
#include "scheduler/JobTick.h"
#include "settings/SettingsTable.h"
#include "ui/ControlTag.h"
#include "ui/Prompts.h"
#include "ui/RequiredControl.h"
#include "ui/VbTimer.h"
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

// Each handler makes the pane lines it added durable before it returns, in one write and one flush for all of
// them. A tick that runs while a handler waits for the operator's answer flushes its own lines as it ends.
class JournalFlush
{
public:
    explicit JournalFlush(ActivityLog& log) : m_log(log) {}
    ~JournalFlush() { m_log.flushJournal(); }
    JournalFlush(const JournalFlush&) = delete;
    JournalFlush& operator=(const JournalFlush&) = delete;

private:
    ActivityLog& m_log;
};

template <typename Table, typename Row>
std::size_t indexIn(const Table& table, const Row& row)
{
    return static_cast<std::size_t>(&row - table.data());
}

} // namespace

frmScheduler::frmScheduler(Platform platform, QWidget* parent)
    : QWidget(parent), m_platform(std::move(platform)), m_timer(new VbTimer(m_platform.clock, this)),
      m_ui(std::make_unique<Ui::frmScheduler>())
{
    substituteDialogFont();
    m_ui->setupUi(this);
    m_timer->setObjectName(QStringLiteral("tmrScheduler"));
    setUpLooks();
    resolveControls();
    m_log = std::make_unique<ActivityLog>(*m_ui->txtLog, *m_platform.clock, *m_platform.application);
    connectHandlers();
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

void frmScheduler::resolveControls()
{
    static_assert(std::tuple_size_v<decltype(kSchedulerJobs)> == std::tuple_size_v<decltype(m_jobBoxes)>);
    static_assert(std::tuple_size_v<decltype(settingRows)> == std::tuple_size_v<decltype(m_settingControls)>);
    for (const SchedulerJob& job : kSchedulerJobs) {
        const std::size_t i = indexIn(kSchedulerJobs, job);
        m_jobBoxes[i] = requireControl<VbCheckBox>(*this, job.checkBox);
        m_jobCombos[i] = job.numberCombo ? requireControl<VbComboBox>(*this, job.numberCombo) : nullptr;
    }
    for (const SettingRow& row : settingRows) {
        SettingControl& control = m_settingControls[indexIn(settingRows, row)];
        if (QLatin1String(row.control).startsWith(QLatin1String("chk")))
            control.box = requireControl<VbCheckBox>(*this, row.control);
        else
            control.combo = requireControl<VbComboBox>(*this, row.control);
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
    connect(m_ui->chkAutoStart, &VbCheckBox::valueChanged, this, &frmScheduler::chkAutoStart_Click);
    connect(m_ui->chkCleanBackupDir, &VbCheckBox::valueChanged, this, &frmScheduler::chkCleanBackupDir_Click);
    connect(m_ui->chkProcessInternetOrders, &VbCheckBox::valueChanged, this,
            &frmScheduler::chkProcessInternetOrders_Click);
    connect(m_ui->chkRunUpdateManager, &VbCheckBox::valueChanged, this, &frmScheduler::chkRunUpdateManager_Click);
    connect(m_ui->chkSendSms, &VbCheckBox::valueChanged, this, &frmScheduler::chkSendSms_Click);
    connect(m_ui->chkTransferData, &VbCheckBox::valueChanged, this, &frmScheduler::chkTransferData_Click);
    connect(m_ui->chkTransferPerson, &VbCheckBox::valueChanged, this, &frmScheduler::chkTransferPerson_Click);
    connect(m_ui->cmbMIn, &VbComboBox::listIndexChanged, this, &frmScheduler::cmbMIn_Click);
    connect(m_ui->cmbSMSTime, &VbComboBox::listIndexChanged, this, &frmScheduler::cmbSMSTime_Click);
    connect(m_ui->cmbTransferMin, &VbComboBox::listIndexChanged, this, &frmScheduler::cmbTransferMin_Click);
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

// The handlers.

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
    settingClicked("chkAutoStart");
}

void frmScheduler::chkCleanBackupDir_Click()
{
    settingClicked("chkCleanBackupDir");
}

void frmScheduler::chkProcessInternetOrders_Click()
{
    settingClicked("chkProcessInternetOrders");
}

void frmScheduler::chkRunUpdateManager_Click()
{
    settingClicked("chkRunUpdateManager");
}

void frmScheduler::chkSendSms_Click()
{
    settingClicked("chkSendSms");
}

void frmScheduler::chkTransferData_Click()
{
    settingClicked("chkTransferData");
}

void frmScheduler::chkTransferPerson_Click()
{
    settingClicked("chkTransferPerson");
}

void frmScheduler::cmbMIn_Click()
{
    settingClicked("cmbMIn");
}

void frmScheduler::cmbSMSTime_Click()
{
    settingClicked("cmbSMSTime");
}

void frmScheduler::cmbTransferMin_Click()
{
    settingClicked("cmbTransferMin");
}

void frmScheduler::tmrScheduler_Timer()
{
    const JournalFlush flush(*m_log);
    runJobTick(*this);
}

void frmScheduler::settingClicked(const char* control)
{
    const JournalFlush flush(*m_log);
    m_settings.controlClicked(*settingRowOfControl(QLatin1String(control)));
}

// The window's state, as the scheduler and the settings see it.

int frmScheduler::jobValue(const SchedulerJob& job) const
{
    return m_jobBoxes.at(indexIn(kSchedulerJobs, job))->value();
}

std::optional<int> frmScheduler::jobNumber(const SchedulerJob& job) const
{
    const VbComboBox* combo = m_jobCombos.at(indexIn(kSchedulerJobs, job));
    if (!combo)
        return std::nullopt;
    return numberSpelledBy(combo->list(combo->listIndex()));
}

QObject* frmScheduler::latchControl(Latch latch) const
{
    return latch == Latch::LogArchive ? static_cast<QObject*>(m_ui->txtLog) : m_ui->chkCleanBackupDir;
}

QString frmScheduler::latch(Latch latch) const
{
    return controlTag(latchControl(latch));
}

void frmScheduler::setLatch(Latch latch, const QString& marker)
{
    setControlTag(latchControl(latch), marker);
}

void frmScheduler::AddLogLine(const QString& message)
{
    m_log->AddLogLine(message);
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

int frmScheduler::settingValue(const SettingRow& row) const
{
    const SettingControl& control = m_settingControls.at(indexIn(settingRows, row));
    return control.box ? control.box->value() : control.combo->listIndex();
}

bool frmScheduler::setSettingValue(const SettingRow& row, int value)
{
    const SettingControl& control = m_settingControls.at(indexIn(settingRows, row));
    return control.box ? control.box->setValue(value) : control.combo->setListIndex(value);
}
