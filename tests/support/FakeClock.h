#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

// A clock that stands still until a test moves it, or, once run() is called, runs on with real time from
// wherever the test set it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    QDateTime now() const override { return m_running.isValid() ? m_now.addMSecs(m_running.elapsed()) : m_now; }
    void set(const QDateTime& now)
    {
        m_now = now;
        if (m_running.isValid())
            m_running.start();
    }
    void run() { m_running.start(); }
    void set(int year, int month, int day, int hour, int minute, int second = 0);
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMinutes(qint64 minutes) { advanceSeconds(minutes * 60); }

private:
    QDateTime m_now;
    QElapsedTimer m_running;
};
