#pragma once

#include "scheduler/SchedulerJob.h"

#include <QDateTime>
#include <QObject>

#include <array>
#include <bitset>

class IndexComboBox;
class MinuteTimer;
class SchedulerWindow;
class StatusLamp;
class ValueCheckBox;

// The tooltips of the job controls and of the status lamp, which are also their accessible descriptions: when each
// job runs next by the tick's own rule, or why it will not, its last start and how that ended; whether the timer
// runs, since when, and its next tick. A text is made when its tooltip is about to show or its control takes the
// focus, and when what it tells changes: a job's start or end, its choices, Start and Stop, the lamp's at every
// tick. Never on a timer of its own; nothing of it is stored.
class ControlTips : public QObject
{
    Q_OBJECT

public:
    struct JobControls
    {
        ValueCheckBox* box;
        IndexComboBox* combo; // nullptr for the rows without one
    };

    ControlTips(SchedulerWindow& window, const MinuteTimer& timer, StatusLamp& lamp,
                const std::array<JobControls, kJobRowCount>& jobs);

    // Start or Stop was pressed: the timer's state, if it changed, holds from now; every text is made anew.
    void timerSwitched();
    // A tick has ended: the lamp's next tick.
    void showTimer();
    // The row's last start or its end changed: its texts are made once the tick, or the end's delivery, is over.
    void jobRunChanged(JobRow row);

    QString jobText(JobRow row) const;
    QString timerText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showJob(JobRow row);
    void showChangedJobs();

    SchedulerWindow& m_window;
    const MinuteTimer& m_timer;
    StatusLamp& m_lamp;
    const std::array<JobControls, kJobRowCount> m_jobs;
    const QDateTime m_programStart;
    bool m_timerRunning = false;
    QDateTime m_timerSince;
    std::bitset<kJobRowCount> m_changedJobs;
};
