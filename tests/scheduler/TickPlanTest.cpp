#include "scheduler/TickPlan.h"

#include <QMap>
#include <QTimeZone>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <random>

namespace {

constexpr qint64 kMinute = 60000;

// The period timer and the tick as the program runs them, on a simulated time line: real time runs on, the
// wall clock is real time plus whatever the clock has been set by, and every wait ends as late as lateness
// says. A wake that is due is a tick: it takes a while, then plans from its own reading, as the job tick
// does; a wake that is not due plans again from its reading.
class Simulation
{
public:
    explicit Simulation(const QTimeZone& zone, const QDateTime& start, quint32 seed = 1)
        : m_zone(zone), m_real(start.toMSecsSinceEpoch()), m_random(seed)
    {
    }

    QDateTime reading() const { return QDateTime::fromMSecsSinceEpoch(m_real + m_clockShift, m_zone); }
    qint64 random(qint64 lowest, qint64 highest)
    {
        return std::uniform_int_distribution<qint64>(lowest, highest)(m_random);
    }

    // The wall clock is set by shift when real time reaches atReal.
    void setClockAt(const QDateTime& atReal, qint64 shift) { m_clockChanges.insert(atReal.toMSecsSinceEpoch(), shift); }

    // Switches the timer on now and runs until real time reaches end.
    void run(const QDateTime& end, const std::function<qint64()>& lateness)
    {
        qint64 wait = m_plan.planAfter(reading(), reading());
        const qint64 last = end.toMSecsSinceEpoch();
        for (;;) {
            advance(wait + lateness());
            if (m_real >= last)
                return;
            const QDateTime now = reading();
            if (!m_plan.wake(now, wait))
                continue;
            ticks << now;
            advance(random(0, 30)); // the tick's starts
            wait = m_plan.planAfter(now, reading());
        }
    }

    // How many ticks each period (local calendar minute) got, by the period's start; from the tick first on.
    QMap<qint64, int> ticksPerMinute(qsizetype first = 0) const
    {
        QMap<qint64, int> count;
        for (qsizetype i = first; i < ticks.size(); ++i)
            ++count[m_plan.periodOf(ticks.at(i))];
        return count;
    }

    QList<QDateTime> ticks;

private:
    void advance(qint64 milliseconds)
    {
        const qint64 target = m_real + milliseconds;
        for (auto change = m_clockChanges.lowerBound(m_real); change != m_clockChanges.end() && change.key() <= target;
             ++change)
            m_clockShift += change.value();
        m_real = target;
    }

    QTimeZone m_zone;
    qint64 m_real;
    qint64 m_clockShift = 0;
    QMap<qint64, qint64> m_clockChanges;
    TickPlan m_plan{kMinute};
    std::mt19937 m_random;
};

QDateTime at(const QTimeZone& zone, const QDate& date, const QTime& time)
{
    return QDateTime(date, time, zone);
}

// Every calendar minute from the first tick's to the last one's has exactly one tick; the first message of a
// failure names the minute.
QString firstMinuteNotTickedOnce(const QMap<qint64, int>& count, qint64 from, qint64 to, const QTimeZone& zone)
{
    for (qint64 minute = from; minute <= to; minute += kMinute) {
        const int ticks = count.value(minute);
        if (ticks != 1)
            return QStringLiteral("%1 ticks in the minute %2")
                .arg(ticks)
                .arg(QDateTime::fromMSecsSinceEpoch(minute, zone).toString(Qt::ISODate));
    }
    return QString();
}

} // namespace

class TickPlanTest : public QObject
{
    Q_OBJECT

private:
    const QTimeZone m_berlin{"Europe/Berlin"};

private slots:
    void initTestCase() { QVERIFY(m_berlin.isValid()); }

    void periodsAreTheLocalCalendarMinutes()
    {
        const TickPlan plan(kMinute);
        const QDateTime moment = at(m_berlin, QDate(2026, 12, 7), QTime(9, 41, 59, 999));
        QCOMPARE(plan.periodOf(moment), at(m_berlin, QDate(2026, 12, 7), QTime(9, 41)).toMSecsSinceEpoch());
        // A zone a quarter of an hour off the hour cuts at its own minutes as well.
        const QTimeZone kathmandu("Asia/Kathmandu");
        const QDateTime there(QDate(2026, 12, 7), QTime(9, 41, 30), kathmandu);
        QCOMPARE(plan.periodOf(there), QDateTime(QDate(2026, 12, 7), QTime(9, 41), kathmandu).toMSecsSinceEpoch());
    }

    void theFirstTickFallsInTheMinuteAfterSwitchingOn_data()
    {
        QTest::addColumn<QTime>("switchedOn");
        QTest::addColumn<qint64>("wait");
        QTest::newRow("at the start of a minute") << QTime(11, 0, 0) << qint64(90000);
        QTest::newRow("at 11:00:10, the first tick is in 11:01") << QTime(11, 0, 10) << qint64(80000);
        QTest::newRow("just before the minute ends") << QTime(11, 0, 59, 990) << qint64(30010);
    }

    void theFirstTickFallsInTheMinuteAfterSwitchingOn()
    {
        QFETCH(QTime, switchedOn);
        QFETCH(qint64, wait);
        TickPlan plan(kMinute);
        const QDateTime now = at(m_berlin, QDate(2026, 12, 10), switchedOn);
        QCOMPARE(plan.planAfter(now, now), wait);
        QCOMPARE(plan.plannedPeriod(), at(m_berlin, QDate(2026, 12, 10), QTime(11, 1)).toMSecsSinceEpoch());
        QCOMPARE(plan.dueTime(), at(m_berlin, QDate(2026, 12, 10), QTime(11, 1, 30)).toMSecsSinceEpoch());
    }

    void aWakeBeforeThePlannedMinuteIsNoTick()
    {
        TickPlan plan(kMinute);
        const QDate day(2026, 12, 10);
        const QDateTime tick = at(m_berlin, day, QTime(11, 0, 30));
        plan.planAfter(tick, tick);
        QVERIFY(!plan.isDue(at(m_berlin, day, QTime(11, 0, 59, 999))));
        QVERIFY(plan.isDue(at(m_berlin, day, QTime(11, 1))));
        QVERIFY(plan.isDue(at(m_berlin, day, QTime(11, 11, 30))));
        // A tick that ran past the minute's end still plans the next minute, at once when it is already due.
        QCOMPARE(plan.planAfter(tick, at(m_berlin, day, QTime(11, 1, 45))), qint64(0));
        QCOMPARE(plan.plannedPeriod(), at(m_berlin, day, QTime(11, 1)).toMSecsSinceEpoch());
    }

    // The clock set back while the 10:00:30 tick ran: less than a minute still plans 10:01, more the minute the
    // clock shows while its second 30 is ahead.
    void aClockSetBackDuringATick_data()
    {
        QTest::addColumn<QTime>("rearmed");
        QTest::addColumn<QTime>("planned");
        QTest::newRow("40 s back") << QTime(9, 59, 50) << QTime(10, 1);
        QTest::newRow("61 s back") << QTime(9, 59, 29) << QTime(9, 59);
        QTest::newRow("an hour back") << QTime(9, 0, 31) << QTime(9, 1);
    }

    void aClockSetBackDuringATick()
    {
        QFETCH(QTime, rearmed);
        QFETCH(QTime, planned);
        TickPlan plan(kMinute);
        const QDate day(2026, 12, 10);
        plan.planAfter(at(m_berlin, day, QTime(10, 0, 30)), at(m_berlin, day, rearmed));
        QCOMPARE(plan.plannedPeriod(), at(m_berlin, day, planned).toMSecsSinceEpoch());
    }

    // A month in which every wait ends 0 to 100 ms late, as Linux's timer slack and Windows' clock tick
    // allow; and a month of waits that end seconds late.
    void everyMinuteOfAMonthGetsOneTick_data()
    {
        QTest::addColumn<qint64>("latest");
        QTest::newRow("waits up to 100 ms late") << qint64(100);
        QTest::newRow("waits up to 20 s late") << qint64(20000);
    }

    void everyMinuteOfAMonthGetsOneTick()
    {
        QFETCH(qint64, latest);
        const QDateTime start = at(m_berlin, QDate(2026, 12, 1), QTime(0, 0, 17));
        const QDateTime end = at(m_berlin, QDate(2027, 1, 1), QTime(0, 1));
        Simulation simulation(m_berlin, start, 20261207);
        simulation.run(end, [&] { return simulation.random(0, latest); });

        const QMap<qint64, int> count = simulation.ticksPerMinute();
        QCOMPARE(count.size(), 31 * 24 * 60);
        const QString fault = firstMinuteNotTickedOnce(count, start.toMSecsSinceEpoch() - 17000 + kMinute,
                                                       end.toMSecsSinceEpoch() - kMinute, m_berlin);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        int earliest = kMinute;
        int latestInMinute = 0;
        for (const QDateTime& tick : simulation.ticks) {
            const int inMinute = tick.time().second() * 1000 + tick.time().msec();
            earliest = std::min(earliest, inMinute);
            latestInMinute = std::max(latestInMinute, inMinute);
        }
        qInfo("%lld ticks, each in its own minute, between second %.3f and %.3f of it", qint64(simulation.ticks.size()),
              earliest / 1000.0, latestInMinute / 1000.0);
    }

    // The night daylight saving starts has no 02:00 to 02:59; the night it ends has them twice, once in
    // summer time and once in winter time, and each is a minute of its own.
    void daylightSavingNights_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("ticksAtTwoOClock");
        QTest::newRow("summer time begins") << QDate(2026, 3, 29) << 23 * 60 << 0;
        QTest::newRow("summer time ends") << QDate(2026, 10, 25) << 25 * 60 << 120;
    }

    void daylightSavingNights()
    {
        QFETCH(QDate, day);
        QFETCH(int, minutes);
        QFETCH(int, ticksAtTwoOClock);
        const QDateTime start = at(m_berlin, day.addDays(-1), QTime(23, 59, 40));
        const QDateTime end = at(m_berlin, day.addDays(1), QTime(0, 0, 40));
        Simulation simulation(m_berlin, start);
        simulation.run(end, [&] { return simulation.random(0, 100); });

        int ofTheDay = 0;
        int atTwo = 0;
        for (const QDateTime& tick : simulation.ticks) {
            ofTheDay += tick.date() == day;
            atTwo += tick.date() == day && tick.time().hour() == 2;
        }
        QCOMPARE(ofTheDay, minutes);
        QCOMPARE(atTwo, ticksAtTwoOClock);
        const QString fault =
            firstMinuteNotTickedOnce(simulation.ticksPerMinute(), at(m_berlin, day, QTime(0, 0)).toMSecsSinceEpoch(),
                                     at(m_berlin, day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch(), m_berlin);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // The clock set back or forward while the timer waits, and a machine that slept for ten minutes: one tick
    // for the minute the wake falls in, none when it falls before the planned minute, where the minute the
    // clock shows is planned while its second 30 is ahead; then one a minute from there on. Lost minutes are
    // not caught up; minutes set back run again, but a step back of less than a minute ticks none twice.
    void clockChangesAndLateWakes_data()
    {
        QTest::addColumn<QTime>("changedAt");
        QTest::addColumn<qint64>("clockShift");
        QTest::addColumn<qint64>("sleep");
        QTest::addColumn<QTime>("firstTickAfter");

        const QTime afterTick(10, 0, 45);
        QTest::newRow("set back an hour: the wake at 9:01:30 is past 9:01's tick")
            << afterTick << qint64(-3600000) << qint64(0) << QTime(9, 2, 30);
        QTest::newRow("set back 62:20 just before a wake, to 8:59:10: 8:59 is ticked")
            << QTime(10, 1, 29) << qint64(-3740000) << qint64(0) << QTime(8, 59, 30);
        QTest::newRow("set back 40 s after a tick: 10:00 is not ticked twice")
            << afterTick << qint64(-40000) << qint64(0) << QTime(10, 1, 30);
        QTest::newRow("set back 59.9 s after a tick: 10:00 is not ticked twice")
            << afterTick << qint64(-59900) << qint64(0) << QTime(10, 1, 30);
        QTest::newRow("set back 61 s after a tick: the repeated 10:00 runs again")
            << afterTick << qint64(-61000) << qint64(0) << QTime(10, 0, 30);
        QTest::newRow("set forward an hour") << afterTick << qint64(3600000) << qint64(0) << QTime(11, 1, 30);
        QTest::newRow("a wake ten minutes late") << afterTick << qint64(0) << qint64(10 * kMinute) << QTime(10, 11, 30);
    }

    void clockChangesAndLateWakes()
    {
        QFETCH(QTime, changedAt);
        QFETCH(qint64, clockShift);
        QFETCH(qint64, sleep);
        QFETCH(QTime, firstTickAfter);

        const QDate day(2026, 12, 10);
        const QDateTime start = at(m_berlin, day, QTime(9, 30, 5));
        Simulation simulation(m_berlin, start);
        if (clockShift != 0)
            simulation.setClockAt(at(m_berlin, day, changedAt), clockShift);
        bool slept = false;
        simulation.run(at(m_berlin, day, QTime(12, 0)), [&] {
            if (sleep == 0 || slept || simulation.reading() < at(m_berlin, day, QTime(10, 0, 30)))
                return qint64(0);
            slept = true;
            return sleep;
        });

        // From 9:31 to 10:00 one tick a minute; then the first tick after the change, and one a minute from there.
        const qsizetype first = 30;
        QCOMPARE(simulation.ticks.at(0).time(), QTime(9, 31, 30));
        QCOMPARE(simulation.ticks.at(first - 1).time(), QTime(10, 0, 30));
        QCOMPARE(simulation.ticks.at(first).time(), firstTickAfter);
        const TickPlan minutes(kMinute);
        const QString fault =
            firstMinuteNotTickedOnce(simulation.ticksPerMinute(first), minutes.periodOf(simulation.ticks.at(first)),
                                     minutes.periodOf(simulation.ticks.constLast()), m_berlin);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

QTEST_GUILESS_MAIN(TickPlanTest)
#include "TickPlanTest.moc"
