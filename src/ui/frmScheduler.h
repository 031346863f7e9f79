#pragma once

#include "scheduler/Platform.h"
#include "ui/VbTimer.h"
#include "ui_frmScheduler.h"

#include <QWidget>

#include <memory>

class ActivityLog;

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
    ActivityLog& activityLog() { return *m_log; }

    void Form_Load();
    void cmdStart_Click();
    void cmdStop_Click();
    void tmrScheduler_Timer();

    VbTimer* tmrScheduler;

private:
    Platform m_platform;
    std::unique_ptr<ActivityLog> m_log;
};
