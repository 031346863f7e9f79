#include "support/FakeClock.h"

FakeClock::FakeClock(const QDateTime& start) : m_now(start) {}

void FakeClock::set(int year, int month, int day, int hour, int minute, int second)
{
    set(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}
