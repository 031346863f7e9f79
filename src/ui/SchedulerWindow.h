#pragma once

#include "platform/Platform.h"
#include "scheduler/CommandWindow.h"
#include "scheduler/TickWindow.h"
#include "settings/Settings.h"
#include "settings/SettingsControls.h"
#include "settings/SettingsTable.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>

class ActivityLog;
class ControlTips;
class ValueCheckBox;
class IndexComboBox;
class MinuteTimer;
namespace Ui {
class SchedulerWindow;
}

// The scheduler's one window, and its whole working state: each job's switch is a check box, each period or
// hour the selected entry of a combo box, the log is the pane's text, the running state is the timer's
// Enabled flag shown by the status lamp, and the lock state is fraCMD's Enabled flag. The controls are the
// form's (SchedulerWindow.ui), private to the window and named as the system names them; the window lends them
// to the scheduler and the settings through the interfaces those declare, by the rows of their tables. Its
// handlers are one line each, a call into the subsystem that owns the behaviour.
class SchedulerWindow : public QWidget, public TickWindow, public CommandWindow, public SettingsControls
{
    Q_OBJECT

public:
    explicit SchedulerWindow(Platform platform, QWidget* parent = nullptr);
    ~SchedulerWindow() override;

    // The size of the window's client area as the form lays it out, known before any window exists.
    static QSize clientSize();

    // Before anything is logged: archives what the last run's journal holds and protects this run's lines;
    // see ActivityLog::recoverLastRun.
    void recoverLastRun();
    // The pane's last archive as the program ends in order; see ActivityLog::archiveAtExit.
    void archiveLogAtExit(std::ostream& errors);

    void Form_Load();
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdLock_Click();
    void cmdUnlock_Click();
    void cmdClear_Click();
    void tmrScheduler_Timer();

    // TickWindow, CommandWindow and SettingsControls, on the real controls.
    const Platform& platform() const override { return m_platform; }
    int jobValue(JobRow row) const override;
    std::optional<int> jobNumber(JobRow row) const override;
    QString jobLatch(JobRow row) const override;
    void setJobLatch(JobRow row, const QString& tag) override;
    QString archiveLatch() const override;
    void setArchiveLatch(const QString& tag) override;
    void AddLogLine(const QString& message, const SystemEvent& event = {}) override;
    RunningJobs& runningJobs() override { return m_runningJobs; }
    LastRuns& lastRuns() override { return m_lastRuns; }
    void jobRunChanged(JobRow row) override;
    bool ClearLog() override;
    bool isLogEmpty() const override;
    void setTimerInterval(int milliseconds) override;
    void setTimerEnabled(bool enabled) override;
    void enableTimerAfterTick(const QDateTime& tickMoment) override;
    void setLampColor(int color) override;
    void setLocked(bool locked) override;
    void setCaption(const QString& caption) override;
    int autoStartValue() const override;
    void LoadSettings() override;
    MessageBoxAnswer messageBox(const QString& text, const MessageBoxStyle& style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& preset) override;
    const ApplicationInfo& application() const override { return *m_platform.application; }
    int settingValue(Setting setting) const override;
    bool setSettingValue(Setting setting, int value) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls of a job row or of a setting: a check box, a combo box, or both.
    struct Controls
    {
        ValueCheckBox* box = nullptr;
        IndexComboBox* combo = nullptr;
    };

    // What the form cannot say: the combo boxes' starting text, the icon, the place on screen and the focus.
    void setUpLooks();
    // Takes each row's controls from the form, once, through the binding tables.
    void bindControls();
    void connectHandlers();
    // A setting's control changed, by the operator or by the program: the setting is stored.
    void settingChanged(Setting setting);

    Platform m_platform;
    // Made before the form's widgets, as the form's first control.
    MinuteTimer* m_timer;
    const std::unique_ptr<Ui::SchedulerWindow> m_ui;
    std::unique_ptr<ActivityLog> m_log;
    Settings m_settings{*this};
    std::array<Controls, kJobRowCount> m_jobControls{};
    std::array<Controls, settingRows.size()> m_settingControls{};
    RunningJobs m_runningJobs;
    LastRuns m_lastRuns;
    // Made last, on the controls.
    std::unique_ptr<ControlTips> m_tips;
};
