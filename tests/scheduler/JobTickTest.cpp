#include "scheduler/JobTick.h"
#include "PlainSchedulerWindow.h"
#include "scheduler/JobTable.h"
#include "support/TestFiles.h"
#include "support/TestWindow.h"
#include "support/WindowControls.h"
#include "ui/ControlLatch.h"
#include "ui/SchedulerWindow.h"

#include <QFile>
#include <QLocale>
#include <QMap>
#include <QtTest>

#include <memory>

namespace {

const char* const kRowLogTexts[] = {
    ": Transfer Person And Copoun executed!",
    ": Process Internet Orders!",
    ": Send Birth, Wedding and ImportantDate SMS!",
    ": Transfer Data !",
    ": Clean Backup Directory (for 365 days)!",
    ": Update Manager Started!",
    ": Backup database to Exit folder",
};

// The job at a place of the table, 1 to 7.
const SchedulerJob& row(int order)
{
    return kSchedulerJobs.at(static_cast<std::size_t>(order - 1));
}

// The place in the table of the job whose parameter string a recorded call carries; the seven strings are all
// different.
int rowOfCall(const RecordingLaunchCall::Call& call)
{
    for (std::size_t i = 0; i < kSchedulerJobs.size(); ++i) {
        if (call.parameters == kSchedulerJobs[i].parameters)
            return int(i) + 1;
    }
    return 0;
}

// The message of a pane line: what follows the date-time text.
QString messageOf(const QString& line)
{
    return line.mid(line.indexOf(QStringLiteral(": ")));
}

// A scheduler to tick: on plain values (PlainSchedulerWindow) or on the real window, on one test platform.
// The tests below run on both, so that the job tick is tested without a widget and the window is shown to
// hand it the right controls.
class Scheduler
{
public:
    virtual ~Scheduler() = default;

    virtual TestPlatform& platform() = 0;
    const TestPlatform& platform() const { return const_cast<Scheduler*>(this)->platform(); }

    virtual TickWindow& window() = 0;
    // The Value of the row's check box.
    virtual void setValue(int order, int value) = 0;
    // Selects the entry that spells number in the row's combo box; none for no number.
    virtual void select(int order, std::optional<int> number) = 0;
    virtual QString paneText() const = 0;
    // What the timer calls when it fires.
    virtual void tick() = 0;

    // Every box ticked, both periods on "3" and the SMS hour on "10".
    void setUp()
    {
        tickAll(CheckBoxValue::Checked);
        select(1, 3);
        select(4, 3);
        select(3, 10);
    }

    void tickAll(int value)
    {
        for (int order = 1; order <= int(kJobRowCount); ++order)
            setValue(order, value);
    }

    void tickAt(const QDateTime& moment)
    {
        platform().clock->set(moment);
        tick();
    }

    // The latches: the Tag of the cleaning's check box, and the pane's.
    QString cleaningLatch() { return window().jobLatch(JobRow::CleanBackupDir); }
    QString archiveLatch() { return window().archiveLatch(); }

    QStringList paneLines() const
    {
        QStringList lines = paneText().split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        return lines;
    }

    // The rows started since the given call count, in the order they were started.
    QList<int> rowsStartedSince(std::size_t first) const
    {
        QList<int> rows;
        for (std::size_t i = first; i < platform().shell.calls.size(); ++i)
            rows << rowOfCall(platform().shell.calls[i]);
        return rows;
    }

    QString logFile(const QDate& date) const
    {
        return platform().path(QStringLiteral("Temp/zorScheduler-LOG-%1.log").arg(date.toString(u"yyyy-MM-dd")));
    }
};

class OnPlainValues final : public Scheduler
{
public:
    OnPlainValues() { setUp(); }
    TestPlatform& platform() override { return m_platform; }
    TickWindow& window() override { return m_window; }
    void setValue(int order, int value) override { m_window.jobValues.at(indexOf(row(order).row)) = value; }
    void select(int order, std::optional<int> number) override
    {
        m_window.jobNumbers.at(indexOf(row(order).row)) = number;
    }
    QString paneText() const override { return m_window.pane.text(); }
    void tick() override { runJobTick(m_window); }

private:
    TestPlatform m_platform;
    PlainSchedulerWindow m_window{m_platform.platform()};
};

class OnTheWindow final : public Scheduler
{
public:
    OnTheWindow()
    {
        timer(m_test.window())->setInterval(60000);
        setUp();
    }
    TestPlatform& platform() override { return m_test.platform; }
    TickWindow& window() override { return m_test.window(); }
    void setValue(int order, int value) override { jobBox(m_test.window(), row(order).row)->setValue(value); }
    void select(int order, std::optional<int> number) override
    {
        IndexComboBox* entries = jobCombo(m_test.window(), row(order).row);
        entries->setListIndex(number ? entries->findText(QString::number(*number)) : -1);
    }
    QString paneText() const override { return pane(m_test.window())->text(); }
    void tick() override { m_test.window().tmrScheduler_Timer(); }

private:
    TestWindow m_test;
};

} // namespace

class JobTickTest : public QObject
{
    Q_OBJECT

private:
    // The column that chooses the scheduler of a case, and the scheduler it names.
    static void onBoth()
    {
        QTest::addColumn<bool>("onTheWindow");
        QTest::newRow("on plain values") << false;
        QTest::newRow("on the window") << true;
    }
    static std::unique_ptr<Scheduler> makeScheduler(bool onTheWindow)
    {
        if (onTheWindow)
            return std::make_unique<OnTheWindow>();
        return std::make_unique<OnPlainValues>();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void dueConditions_data();
    void dueConditions();
    void nextStart_data();
    void nextStart();
    void jobsStartInTableOrderWithTheirCommandLines_data() { onBoth(); }
    void jobsStartInTableOrderWithTheirCommandLines();
    void latchedRowRunsOncePerDueWindow_data() { onBoth(); }
    void latchedRowRunsOncePerDueWindow();
    void latchClearsOnlyWhileItsBoxIsTicked_data() { onBoth(); }
    void latchClearsOnlyWhileItsBoxIsTicked();
    void onlyATickedBoxRunsItsJob_data() { onBoth(); }
    void onlyATickedBoxRunsItsJob();
    void comboWithoutSelectionMakesItsJobNotDue_data() { onBoth(); }
    void comboWithoutSelectionMakesItsJobNotDue();
    void failedStartIsRecordedAfterItsJobLine_data() { onBoth(); }
    void failedStartIsRecordedAfterItsJobLine();
    void sevenOClockArchivesThePaneOnce_data() { onBoth(); }
    void sevenOClockArchivesThePaneOnce();
    void sevenOClockArchiveWhenTheDaysFileCannotTakeIt_data();
    void sevenOClockArchiveWhenTheDaysFileCannotTakeIt();
    void aTicksLinesAreInTheJournalWhenTheTickReturns();
    void tickRearmsTheTimer();
    void aLongTickStillPlansTheNextMinute();
    void monthOfTicks_data();
    void monthOfTicks();
};

void JobTickTest::dueConditions_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<int>("selected"); // -1: no usable selection
    QTest::addColumn<bool>("due");

    const QDate day10(2026, 12, 10);
    const auto at = [](const QDate& date, int hour, int minute) { return QDateTime(date, QTime(hour, minute, 20)); };

    QTest::newRow("period 7 is due at minute 0") << 1 << at(day10, 9, 0) << 7 << true;
    QTest::newRow("period 7 is due at minute 56") << 1 << at(day10, 9, 56) << 7 << true;
    QTest::newRow("period 7 is not due at minute 57") << 1 << at(day10, 9, 57) << 7 << false;
    QTest::newRow("period 7 is not due at minute 59") << 1 << at(day10, 9, 59) << 7 << false;
    QTest::newRow("period 3 counts from the full hour") << 4 << at(day10, 14, 33) << 3 << true;
    QTest::newRow("period 1 is due every minute") << 4 << at(day10, 14, 41) << 1 << true;
    QTest::newRow("period 0 is never due") << 1 << at(day10, 9, 0) << 0 << false;
    QTest::newRow("no period is never due") << 4 << at(day10, 9, 0) << -1 << false;
    QTest::newRow("internet orders are due on every tick") << 2 << at(day10, 3, 17) << -1 << true;
    QTest::newRow("SMS hour 12 is due at noon") << 3 << at(day10, 12, 0) << 12 << true;
    QTest::newRow("SMS hour 12 is not due at midnight") << 3 << at(day10, 0, 0) << 12 << false;
    QTest::newRow("SMS hour 8 is not due at 8:01") << 3 << at(day10, 8, 1) << 8 << false;
    QTest::newRow("no SMS hour is not due at midnight") << 3 << at(day10, 0, 0) << -1 << false;
    QTest::newRow("backup cleaning on day 10 at 11:00") << 5 << at(day10, 11, 0) << -1 << true;
    QTest::newRow("backup cleaning on day 30 at 11:00") << 5 << at(QDate(2026, 11, 30), 11, 0) << -1 << true;
    QTest::newRow("no backup cleaning on day 31") << 5 << at(QDate(2026, 12, 31), 11, 0) << -1 << false;
    QTest::newRow("no backup cleaning on a Saturday off the 5-day rhythm")
        << 5 << at(QDate(2026, 12, 12), 11, 0) << -1 << false;
    QTest::newRow("no backup cleaning at 11:01") << 5 << at(day10, 11, 1) << -1 << false;
    QTest::newRow("no backup cleaning at 23:00") << 5 << at(day10, 23, 0) << -1 << false;
    QTest::newRow("update manager at minute 55") << 6 << at(day10, 4, 55) << -1 << true;
    QTest::newRow("no update manager at minute 56") << 6 << at(day10, 4, 56) << -1 << false;
    QTest::newRow("database backup at 11:50") << 7 << at(day10, 11, 50) << -1 << true;
    QTest::newRow("no database backup at 23:50") << 7 << at(day10, 23, 50) << -1 << false;
}

void JobTickTest::dueConditions()
{
    QFETCH(int, order);
    QFETCH(QDateTime, moment);
    QFETCH(int, selected);
    QFETCH(bool, due);
    const std::optional<int> number = selected < 0 ? std::nullopt : std::optional<int>(selected);
    QCOMPARE(row(order).isDue(moment, number), due);
}

void JobTickTest::nextStart_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QDateTime>("firstTick");
    QTest::addColumn<int>("selected"); // -1: no usable selection
    QTest::addColumn<bool>("latched");
    QTest::addColumn<QDateTime>("next"); // invalid: never

    const auto at = [](int month, int day, int hour, int minute) {
        return QDateTime(QDate(month == 1 ? 2027 : 2026, month, day), QTime(hour, minute, 30));
    };
    QTest::newRow("period 7: minute 56 is its own") << 1 << at(12, 10, 9, 56) << 7 << false << at(12, 10, 9, 56);
    QTest::newRow("period 7: after minute 56 the full hour")
        << 1 << at(12, 10, 9, 57) << 7 << false << at(12, 10, 10, 0);
    QTest::newRow("period 3 counts from the full hour") << 4 << at(12, 10, 14, 31) << 3 << false << at(12, 10, 14, 33);
    QTest::newRow("period 10 across midnight and the year") << 1 << at(12, 31, 23, 51) << 10 << false << at(1, 1, 0, 0);
    QTest::newRow("no period: never") << 4 << at(12, 10, 9, 0) << -1 << false << QDateTime();
    QTest::newRow("internet orders every minute") << 2 << at(12, 10, 3, 17) << -1 << false << at(12, 10, 3, 17);
    QTest::newRow("SMS hour 12 is noon, not midnight") << 3 << at(12, 10, 0, 0) << 12 << false << at(12, 10, 12, 0);
    QTest::newRow("SMS hour 10 passed: tomorrow") << 3 << at(12, 10, 10, 1) << 10 << false << at(12, 11, 10, 0);
    QTest::newRow("no SMS hour: never") << 3 << at(12, 10, 0, 0) << -1 << false << QDateTime();
    QTest::newRow("cleaning after day 30: day 5 of the next month")
        << 5 << at(11, 30, 11, 1) << -1 << false << at(12, 5, 11, 0);
    QTest::newRow("cleaning skips day 31 and the year's end")
        << 5 << at(12, 30, 12, 0) << -1 << false << at(1, 5, 11, 0);
    QTest::newRow("cleaning in February after day 25") << 5 << at(2, 25, 11, 1) << -1 << false << at(3, 5, 11, 0);
    QTest::newRow("cleaning due now") << 5 << at(12, 10, 11, 0) << -1 << false << at(12, 10, 11, 0);
    QTest::newRow("cleaning latched in its minute: the next day of five")
        << 5 << at(12, 10, 11, 0) << -1 << true << at(12, 15, 11, 0);
    QTest::newRow("update manager every 5 minutes") << 6 << at(12, 10, 4, 51) << -1 << false << at(12, 10, 4, 55);
    QTest::newRow("update manager across midnight") << 6 << at(12, 10, 23, 56) << -1 << false << at(12, 11, 0, 0);
    QTest::newRow("backup at 11:50, not 23:50") << 7 << at(12, 10, 11, 49) << -1 << false << at(12, 10, 11, 50);
    QTest::newRow("backup after 11:50 at the month's end: tomorrow")
        << 7 << at(11, 30, 11, 51) << -1 << false << at(12, 1, 11, 50);
}

// The next start by the tick's own table, from a planned tick; a tick then starts the row.
void JobTickTest::nextStart()
{
    QFETCH(int, order);
    QFETCH(QDateTime, firstTick);
    QFETCH(int, selected);
    QFETCH(bool, latched);
    QFETCH(QDateTime, next);
    const std::optional<int> number = selected < 0 ? std::nullopt : std::optional<int>(selected);
    QCOMPARE(nextJobStart(row(order), firstTick, number, latched).value_or(QDateTime()), next);
    if (!next.isValid())
        return;
    OnPlainValues s;
    s.select(order, number);
    s.tickAt(next);
    QVERIFY(s.rowsStartedSince(0).contains(order));
}

void JobTickTest::jobsStartInTableOrderWithTheirCommandLines()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->select(1, 5);
    s->select(4, 5);
    s->select(3, 11);
    s->tickAt(QDateTime(QDate(2026, 12, 10), QTime(11, 0, 20)));

    // The command lines are the whole contract with the started programs: spelled out here, not taken from
    // the job table, so that a swapped row or a lost ";" shows.
    const QList<QPair<QString, std::string>> expected = {
        {QStringLiteral("Velmora.exe"), ";;;;;;;;;;True"},
        {QStringLiteral("Velmora.exe"), ";;;;;;;;;;;;;;;True"},
        {QStringLiteral("Velmora.exe"), ";;;;;;;;;;;True"},
        {QStringLiteral("Velmora.exe"), ";;false;;False;False;True"},
        {QStringLiteral("Velmora.exe"), ";;false;;False;CLEANBAKDIR365"},
        {QStringLiteral("UpdateManager.exe"), "True"},
    };
    QCOMPARE(s->platform().shell.calls.size(), std::size_t(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const RecordingLaunchCall::Call& call = s->platform().shell.calls.at(std::size_t(i));
        QCOMPARE(QString::fromStdString(call.file), s->platform().path(expected[i].first));
        QCOMPARE(call.parameters, expected[i].second);
        QCOMPARE(call.operation, std::string("open"));
        QCOMPARE(call.directory, std::string());
        QCOMPARE(call.windowHandle, std::intptr_t(0));
        // Both programs are executables, so the updater's show mode 10 becomes hidden as well.
        QCOMPARE(call.showMode, 0);
    }

    // The 11:50 backup, the one row that shares no minute with the others above.
    s->platform().shell.calls.clear();
    s->tickAll(CheckBoxValue::Unchecked);
    s->setValue(7, CheckBoxValue::Checked);
    s->tickAt(QDateTime(QDate(2026, 12, 10), QTime(11, 50, 20)));
    QCOMPARE(s->platform().shell.calls.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(s->platform().shell.calls.front().file),
             s->platform().path(QStringLiteral("Velmora.exe")));
    QCOMPARE(s->platform().shell.calls.front().parameters, std::string(";;false;;False;TrueOnExit"));
    QCOMPARE(s->platform().shell.calls.front().showMode, 0);

    const QStringList lines = s->paneLines();
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QStringLiteral("12/10/26 11:50:20 AM: Backup database to Exit folder"));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(messageOf(lines[i + 1]), QLatin1String(kRowLogTexts[5 - i]));
        QVERIFY(lines[i + 1].startsWith(QStringLiteral("12/10/26 11:00:20 AM: ")));
    }
}

void JobTickTest::latchedRowRunsOncePerDueWindow()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    const QDate day10(2026, 12, 10);
    s->tickAt(QDateTime(day10, QTime(11, 0, 20)));
    QVERIFY(s->rowsStartedSince(0).contains(5));
    QCOMPARE(s->cleaningLatch(), QStringLiteral("CLEANBACKUP"));

    // The clock set back twice: later ticks in the same minute start the other rows again, but not row 5.
    for (const QTime& again : {QTime(11, 0, 50), QTime(11, 0, 40)}) {
        const std::size_t before = s->platform().shell.calls.size();
        s->tickAt(QDateTime(day10, again));
        QCOMPARE(s->rowsStartedSince(before), (QList<int>{1, 2, 4, 6}));
    }

    s->tickAt(QDateTime(day10, QTime(11, 1, 50)));
    QCOMPARE(s->cleaningLatch(), QString());
}

void JobTickTest::latchClearsOnlyWhileItsBoxIsTicked()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->tickAt(QDateTime(QDate(2026, 12, 10), QTime(11, 0, 20)));
    s->setValue(5, CheckBoxValue::Unchecked);
    s->tickAt(QDateTime(QDate(2026, 12, 10), QTime(11, 1, 20)));
    s->tickAt(QDateTime(QDate(2026, 12, 15), QTime(10, 59, 30)));
    s->setValue(5, CheckBoxValue::Checked);

    // No tick found the box ticked outside the window, so the latch still holds on day 15.
    const std::size_t before = s->platform().shell.calls.size();
    s->tickAt(QDateTime(QDate(2026, 12, 15), QTime(11, 0, 20)));
    QVERIFY(!s->rowsStartedSince(before).contains(5));
    s->tickAt(QDateTime(QDate(2026, 12, 15), QTime(11, 1, 20)));
    QCOMPARE(s->cleaningLatch(), QString());
}

void JobTickTest::onlyATickedBoxRunsItsJob()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->tickAll(CheckBoxValue::Grayed);
    s->tickAt(QDateTime(QDate(2026, 12, 10), QTime(11, 0, 20)));
    s->tickAll(CheckBoxValue::Unchecked);
    s->tickAt(QDateTime(QDate(2026, 12, 10), QTime(11, 50, 20)));
    QCOMPARE(s->platform().shell.calls.size(), std::size_t(0));
    QVERIFY(s->paneText().isEmpty());
}

void JobTickTest::comboWithoutSelectionMakesItsJobNotDue()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->select(1, std::nullopt);
    s->select(4, std::nullopt);
    s->select(3, std::nullopt);
    s->tickAt(QDateTime(QDate(2026, 12, 7), QTime(0, 0, 20)));
    QCOMPARE(s->rowsStartedSince(0), (QList<int>{2, 6}));
}

void JobTickTest::failedStartIsRecordedAfterItsJobLine()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->platform().shell.result = 2;
    s->tickAt(QDateTime(QDate(2026, 12, 7), QTime(9, 1, 20)));

    // Row 2 is the only one due; its line is written, and the failure line stands on top of it.
    QCOMPARE(s->rowsStartedSince(0), QList<int>{2});
    const QStringList lines = s->paneLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(messageOf(lines[1]), QStringLiteral(": Process Internet Orders!"));
    QCOMPARE(messageOf(lines[0]), QStringLiteral(": Start failed: File not found (53) ") +
                                      s->platform().path(QStringLiteral("Velmora.exe")));

    // The following rows still run.
    s->platform().shell.calls.clear();
    s->tickAt(QDateTime(QDate(2026, 12, 7), QTime(9, 3, 20)));
    QCOMPARE(s->rowsStartedSince(0), (QList<int>{1, 2, 4}));
}

void JobTickTest::sevenOClockArchivesThePaneOnce()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->tickAll(CheckBoxValue::Unchecked);
    s->setValue(2, CheckBoxValue::Checked);
    const QDate day(2026, 12, 7);
    s->tickAt(QDateTime(day, QTime(6, 59, 10)));
    s->tickAt(QDateTime(day, QTime(7, 0, 15)));

    // The 07:00 line of row 2 went into the archive with the rest; the pane keeps only the archive's line.
    QCOMPARE(readFile(s->logFile(day)), QByteArray("12/7/26 7:00:15 AM\t"
                                                   "12/7/26 7:00:15 AM: Process Internet Orders!\r\n"
                                                   "12/7/26 6:59:10 AM: Process Internet Orders!\r\n"
                                                   "\r\n"));
    QCOMPARE(s->paneText(), QStringLiteral("12/7/26 7:00:15 AM: Clean Log !\r\n"));
    QCOMPARE(s->archiveLatch(), QStringLiteral("CLEARED"));

    s->setValue(2, CheckBoxValue::Unchecked);
    s->tickAt(QDateTime(day, QTime(7, 0, 45)));
    QCOMPARE(s->paneLines().size(), 1);
    s->tickAt(QDateTime(day, QTime(7, 1, 15)));
    QCOMPARE(s->archiveLatch(), QString());
    QCOMPARE(s->paneLines().size(), 1);
}

// The 07:00 archive when the day's file cannot take it: the state folder's file of the same name does, the pane
// is emptied and says so, and the archive's line follows; when that file cannot either, nothing was cleaned.
void JobTickTest::sevenOClockArchiveWhenTheDaysFileCannotTakeIt_data()
{
    QTest::addColumn<bool>("onTheWindow");
    QTest::addColumn<bool>("fallbackUsable");
    for (const bool onTheWindow : {false, true}) {
        const char* on = onTheWindow ? "on the window" : "on plain values";
        QTest::addRow("%s: the state folder takes it", on) << onTheWindow << true;
        QTest::addRow("%s: nothing takes it", on) << onTheWindow << false;
    }
}

void JobTickTest::sevenOClockArchiveWhenTheDaysFileCannotTakeIt()
{
    QFETCH(bool, onTheWindow);
    QFETCH(bool, fallbackUsable);
    const auto s = makeScheduler(onTheWindow);
    s->tickAll(CheckBoxValue::Unchecked);
    const QDate day(2026, 12, 7);
    const QString fallback = s->platform().path(QStringLiteral("state/zorScheduler-LOG-2026-12-07.log"));
    QVERIFY(QDir().mkpath(s->logFile(day)) && (fallbackUsable || QDir().mkpath(fallback)));
    s->window().AddLogLine(QStringLiteral(": Timer Started!"));
    s->tickAt(QDateTime(day, QTime(7, 0, 15)));

    const QStringList lines = s->paneLines();
    QCOMPARE(s->archiveLatch(), QStringLiteral("CLEARED"));
    QCOMPARE(lines.size(), fallbackUsable ? 2 : 3);
    QVERIFY2(messageOf(lines[0]).startsWith(fallbackUsable ? u": Clean Log !"_qs : u": Log archive failed: "_qs),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].endsWith(fallbackUsable ? u"; its lines went to "_qs + fallback + u'.' : fallback),
             qPrintable(lines[1]));
    QCOMPARE(readFile(fallback).count("Timer Started!"), fallbackUsable ? 1 : 0);
}

// A kill right after a tick loses none of its lines: the window's tick handler has them on the disk in the
// journal before it returns, without waiting for a command.
void JobTickTest::aTicksLinesAreInTheJournalWhenTheTickReturns()
{
    TestWindow test;
    test.window().recoverLastRun();
    for (const SchedulerJob& job : kSchedulerJobs)
        jobBox(test.window(), job.row)
            ->setValue(job.row == JobRow::ProcessInternetOrders ? CheckBoxValue::Checked : CheckBoxValue::Unchecked);
    const QString journal = test.platform.application->stateDirectory() + QStringLiteral("/zorScheduler.journal");
    const QByteArray before = readFile(journal);

    test.platform.clock->set(QDateTime(QDate(2026, 12, 7), QTime(9, 3, 20)));
    test.window().tmrScheduler_Timer();
    QCOMPARE(readFile(journal), before + "12/7/26 9:03:20 AM: Process Internet Orders!\r\n");
}

void JobTickTest::tickRearmsTheTimer()
{
    // The timer is off while the tick starts its programs, and on again when the tick is done.
    TestPlatform platform;
    Platform probing = platform.platform();
    SchedulerWindow* window = nullptr;
    bool armedDuringTheTick = false;
    probing.shellCall = [&](std::intptr_t, const char*, const char*, const char*, const char*, std::int32_t) {
        armedDuringTheTick = armedDuringTheTick || timer(*window)->isActive() || timer(*window)->isEnabled();
        return 42;
    };
    SchedulerWindow form(probing);
    window = &form;
    timer(form)->setInterval(60000);
    timer(form)->setEnabled(true);
    box(form, "chkProcessInternetOrders")->setValue(CheckBoxValue::Checked);
    platform.clock->set(QDateTime(QDate(2026, 12, 7), QTime(9, 1, 20)));

    form.tmrScheduler_Timer();
    QVERIFY(!armedDuringTheTick);
    QVERIFY(timer(form)->isEnabled());
    QVERIFY(timer(form)->isActive());
    QCOMPARE(timer(form)->interval(), 60000);
}

void JobTickTest::aLongTickStillPlansTheNextMinute()
{
    // Program starts that take their time: however long the tick runs, the next one is for the next minute.
    TestPlatform platform;
    Platform slowShell = platform.platform();
    const std::shared_ptr<FakeClock> clock = platform.clock;
    slowShell.shellCall = [clock](std::intptr_t, const char*, const char*, const char*, const char*, std::int32_t) {
        clock->advanceSeconds(40);
        return 42;
    };
    SchedulerWindow form(slowShell);
    timer(form)->setInterval(60000);
    box(form, "chkProcessInternetOrders")->setValue(CheckBoxValue::Checked);
    box(form, "chkRunUpdateManager")->setValue(CheckBoxValue::Checked);
    clock->set(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 0)));

    form.tmrScheduler_Timer();
    // Two starts took 80 s, so the tick ended at 9:06:20; the next one is due at 9:06:30.
    QCOMPARE(clock->now().time(), QTime(9, 6, 20));
    QVERIFY(timer(form)->isActive());
    QVERIFY2(timer(form)->remainingTime() > 9000 && timer(form)->remainingTime() <= 10000,
             qPrintable(QString::number(timer(form)->remainingTime())));
}

// A month of one tick a minute on plain values, and three days of it on the window: every row starts exactly
// as often as its due condition says, the latched rows once per window even when the clock is set back
// inside it, and the pane is archived once a day.
void JobTickTest::monthOfTicks_data()
{
    QTest::addColumn<bool>("onTheWindow");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::newRow("December on plain values") << false << QDate(2026, 12, 1) << QDate(2026, 12, 31);
    QTest::newRow("three days, one a cleaning day, on the window") << true << QDate(2026, 12, 4) << QDate(2026, 12, 6);
}

void JobTickTest::monthOfTicks()
{
    QFETCH(bool, onTheWindow);
    const auto s = makeScheduler(onTheWindow);
    s->select(1, 3); // 20 starts an hour
    s->select(4, 7); // minutes 0, 7, ..., 56: 9 starts an hour
    s->select(3, 12);

    QMap<QDate, QMap<int, int>> starts;
    QMap<QDate, int> archives;
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        for (int minute = 0; minute < 24 * 60; ++minute) {
            const std::size_t before = s->platform().shell.calls.size();
            s->tickAt(QDateTime(day, QTime(minute / 60, minute % 60, 30)));
            // The clock set back inside the latched minutes: the latches hold.
            if (minute == 7 * 60 || minute == 11 * 60)
                s->tickAt(QDateTime(day, QTime(minute / 60, minute % 60, 5)));
            for (int started : s->rowsStartedSince(before))
                ++starts[day][started];
            if (minute == 7 * 60 || minute == 7 * 60 + 1)
                archives[day] = s->paneText().count(QStringLiteral(": Clean Log !"));
        }
        s->platform().shell.calls.clear();
    }

    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const QMap<int, int>& count = starts[day];
        const QByteArray name = day.toString(Qt::ISODate).toLatin1();
        // Minutes 07:00 and 11:00 were ticked twice: the rows without a latch started twice in them.
        QCOMPARE(count.value(1), 480 + 2);
        QCOMPARE(count.value(2), 1440 + 2);
        QVERIFY2(count.value(3) == 1, name.constData());
        QCOMPARE(count.value(4), 216 + 2);
        QVERIFY2(count.value(5) == (day.day() % 5 == 0 ? 1 : 0), name.constData());
        QCOMPARE(count.value(6), 288 + 2);
        QCOMPARE(count.value(7), 1);
        QCOMPARE(archives.value(day), 1);
        // One archive entry a day: the day's file starts with the 07:00 entry and holds exactly one.
        const QByteArray log = readFile(s->logFile(day));
        QVERIFY2(log.startsWith(QByteArray(day.toString(u"M/d/yy").toLatin1() + " 7:00:30 AM\t")), name.constData());
        QCOMPARE(log.count("\r\n\r\n"), 1);
    }
}

QTEST_MAIN(JobTickTest)
#include "JobTickTest.moc"
