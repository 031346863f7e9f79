#pragma once

#include "scheduler/Clock.h"

// A clock that stands still until a test moves it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }
    void set(int year, int month, int day, int hour, int minute, int second = 0);
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMinutes(qint64 minutes) { advanceSeconds(minutes * 60); }

private:
    QDateTime m_now;
};
