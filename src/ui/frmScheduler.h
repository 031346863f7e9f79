#pragma once

#include "scheduler/Platform.h"
#include "ui/VbTimer.h"
#include "ui_frmScheduler.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>

class ActivityLog;
struct SchedulerJob;
struct SettingRow;

// The scheduler's one window, and its whole working state: each job's switch is a check box, each period or
// hour the selected entry of a combo box, the log is the pane's text, the running state is the timer's
// Enabled flag shown by the status lamp, and the lock state is fraCMD's Enabled flag. The controls carry
// the system's names (Ui::frmScheduler); the handlers are short and call into the part that owns the work.
class frmScheduler : public QWidget, public Ui::frmScheduler
{
    Q_OBJECT

public:
    explicit frmScheduler(Platform platform, QWidget* parent = nullptr);
    ~frmScheduler() override;

    const Platform& platform() const { return m_platform; }

    void AddLogLine(const QString& message);
    bool ClearLog();
    // The pane's last archive as the program ends in order; see ActivityLog::archiveAtExit.
    void archiveLogAtExit(std::ostream& errors);

    // Start-up and the operator's commands (scheduler/Commands.cpp).
    void Form_Load();
    void Form_QueryUnload(std::int16_t& cancel, int unloadMode);
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdLock_Click();
    void cmdUnlock_Click();
    void cmdClear_Click();

    // Each writes its control's value to the settings store (settings/SettingsHandlers.cpp).
    void chkAutoStart_Click();
    void chkCleanBackupDir_Click();
    void chkProcessInternetOrders_Click();
    void chkRunUpdateManager_Click();
    void chkSendSms_Click();
    void chkTransferData_Click();
    void chkTransferPerson_Click();
    void cmbMIn_Click();
    void cmbSMSTime_Click();
    void cmbTransferMin_Click();

    // The minute tick (scheduler/JobTick.cpp).
    void tmrScheduler_Timer();

    // The controls that the job table and the settings table name, looked up once as the window is made.
    VbCheckBox& jobBox(const SchedulerJob& job) const;
    // Null for a job without a number.
    VbComboBox* jobCombo(const SchedulerJob& job) const;
    QWidget& settingControl(const SettingRow& row) const;

    // Why the settings store could not be read at start; while it is set, no change is saved.
    const QString& settingsStoreProblem() const { return m_settingsStoreProblem; }
    void setSettingsStoreProblem(const QString& problem) { m_settingsStoreProblem = problem; }

    VbTimer* tmrScheduler;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // What the form cannot say: the combo boxes' starting text, the icon, the place on screen and the focus.
    void setUpLooks();

    void resolveControls();

    Platform m_platform;
    std::unique_ptr<ActivityLog> m_log;
    std::array<VbCheckBox*, 7> m_jobBoxes{};
    std::array<VbComboBox*, 7> m_jobCombos{};
    std::array<QWidget*, 10> m_settingControls{};
    QString m_settingsStoreProblem;
};
