#include "log/LogJournal.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include "TestLog.h"

#ifdef Q_OS_UNIX
#include "support/FileSizeLimit.h"
#endif

namespace {

const QByteArray kStarted = "12/7/26 9:00:05 AM: Timer Started!\r\n";
const QByteArray kOrders = "12/7/26 9:01:30 AM: Process Internet Orders!\r\n";
const QByteArray kEarlier = "12/7/26 6:00:00 AM\tearlier\r\n\r\n";
// The 9:02 archive of a pane that held kStarted and kOrders.
const QByteArray kEntry = "12/7/26 9:02:00 AM\t" + kOrders + kStarted + "\r\n";

} // namespace

class LogJournalTest : public QObject
{
    Q_OBJECT

private:
    struct Log : TestLog
    {
        Log() { at(7, 9, 0, 5); }
        QString state(const QString& name) const { return platform.path(QStringLiteral("state/") + name); }
        QString journal() const { return state(QStringLiteral("zorScheduler.journal")); }
        QString record() const { return state(QStringLiteral("zorScheduler.archiving")); }
        QString daily() const { return file(7); }
        QString paneBytesOldestFirst() const
        {
            QStringList lines = pane.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            std::reverse(lines.begin(), lines.end());
            return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        }
    };

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void theJournalHoldsThePanesLinesSinceTheLastArchive();
    void theLastRunsLinesAreArchivedOnce_data();
    void theLastRunsLinesAreArchivedOnce();
    void aRecordedFileNoLongerTheArchivesIsLeftAlone_data();
    void aRecordedFileNoLongerTheArchivesIsLeftAlone();
    void linesThatCannotBeArchivedAtStartComeBackToThePane();
    void aJournalThatCannotBeUsedIsSaidAndTheLogRunsOn_data();
    void aJournalThatCannotBeUsedIsSaidAndTheLogRunsOn();
    void aFullDiskStopsTheJournalUntilAnArchiveLands();
};

void LogJournalTest::theJournalHoldsThePanesLinesSinceTheLastArchive()
{
    Log l;
    l.log.recoverLastRun();
    QVERIFY(l.pane.isEmpty());
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.at(7, 9, 1, 30);
    l.log.AddLogLine(QStringLiteral(": Process Internet Orders!"));
    // The lines reach the disk as the tick or command that added them ends, in one write, oldest first.
    QCOMPARE(readFile(l.journal()), QByteArray());
    l.log.flushJournal();
    QCOMPARE(readFile(l.journal()), kStarted + kOrders);

    // A failed archive keeps the lines in the pane and in the journal: neither the day's file nor the one of the
    // same name in the state folder can take them.
    QVERIFY(QDir(l.platform.path(QStringLiteral("Temp"))).removeRecursively());
    QVERIFY(QDir().mkpath(l.state(QStringLiteral("zorScheduler-LOG-2026-12-07.log"))));
    QVERIFY(!l.log.ClearLog());
    l.log.flushJournal();
    QCOMPARE(readFile(l.journal()), l.paneBytesOldestFirst().toUtf8());
    QVERIFY(!QFile::exists(l.record()));

    // One that lands takes them from both.
    QVERIFY(QDir().mkpath(l.platform.path(QStringLiteral("Temp"))));
    QVERIFY(l.log.ClearLog());
    QCOMPARE(readFile(l.daily()).count("\r\n"), 5);
    QCOMPARE(readFile(l.journal()), QByteArray());
    QVERIFY(!QFile::exists(l.record()));
}

// What a crash, a kill or a power cut leaves at any moment of an archive, and what start-up makes of it: every
// line of the last run in the day's file exactly once.
void LogJournalTest::theLastRunsLinesAreArchivedOnce_data()
{
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<QByteArray>("daily"); // before start-up
    QTest::addColumn<bool>("recorded");    // kEntry was recorded as on its way into the day's file
    QTest::addColumn<QByteArray>("archived");
    QTest::addColumn<QString>("said");

    const QString both = QStringLiteral("2 lines of the last run, the newest from 12/7/26 9:01:30 AM, were not "
                                        "archived when it ended; they are now in ");
    const QByteArray now = "12/7/26 9:05:00 AM\t";
    QTest::newRow("lines no archive took")
        << kStarted + kOrders << kEarlier << false << kEarlier + now + kOrders + kStarted + "\r\n"
        << both;
    QTest::newRow("the newest line cut short by a power cut")
        << kStarted + QByteArray("12/7/26 9:01:30 AM: Process Int\0\0\0", 34) << kEarlier << false
        << kEarlier + now + "12/7/26 9:01:30 AM: Process Int [cut short when the last run ended]\r\n" + kStarted +
               "\r\n"
        << both;
    QTest::newRow("an archive recorded, not yet written")
        << kStarted + kOrders << kEarlier << true << kEarlier + kEntry << both;
    QTest::newRow("an archive cut short as it was written")
        << kStarted + kOrders << kEarlier + kEntry.left(30) << true << kEarlier + kEntry << both;
    QTest::newRow("an archive written, the journal not yet emptied")
        << kStarted + kOrders << kEarlier + kEntry << true << kEarlier + kEntry << QString();
    QTest::newRow("the journal emptied, the record not yet removed")
        << QByteArray() << kEarlier + kEntry << true << kEarlier + kEntry << QString();
    QTest::newRow("an empty journal") << QByteArray() << kEarlier << false << kEarlier << QString();
}

void LogJournalTest::theLastRunsLinesAreArchivedOnce()
{
    QFETCH(QByteArray, journal);
    QFETCH(QByteArray, daily);
    QFETCH(bool, recorded);
    QFETCH(QByteArray, archived);
    QFETCH(QString, said);
    Log l;
    QVERIFY(writeFile(l.journal(), journal));
    QVERIFY(writeFile(l.daily(), daily));
    const PendingArchive pending{PendingArchive::Kind::Archive, QDir::toNativeSeparators(l.daily()).toStdString(),
                                 kEarlier.size(), kEntry.toStdString()};
    if (recorded)
        QVERIFY(writeFile(l.record(), QByteArray::fromStdString(pendingArchiveBytes(pending))));

    l.at(7, 9, 5, 0);
    l.log.recoverLastRun();
    QCOMPARE(readFile(l.daily()), archived);
    QVERIFY(!QFile::exists(l.record()));
    if (said.isEmpty()) {
        QVERIFY(l.pane.isEmpty());
    } else {
        const QString line = l.pane.text().section(QStringLiteral("\r\n"), 0, 0);
        QVERIFY2(line.startsWith(QStringLiteral("12/7/26 9:05:00 AM: ") + said + QDir::toNativeSeparators(l.daily())),
                 qPrintable(line));
        QCOMPARE(line.endsWith(QStringLiteral(" The newest was cut short as it was written, and is marked so.")),
                 QByteArray(QTest::currentDataTag()).contains("cut short by a power cut"));
    }
    // From here on the journal holds what the pane holds, the line that says so.
    QCOMPARE(readFile(l.journal()), l.pane.text().toUtf8());
}

// A record whose file is, by the next start, what no archive writes through, holding the entry or its first part:
// start-up neither takes the entry for landed nor cuts that file, and writes the entry once, to the state folder.
void LogJournalTest::aRecordedFileNoLongerTheArchivesIsLeftAlone_data()
{
    QTest::addColumn<QString>("inItsPlace");
    QTest::addColumn<QByteArray>("held");
    QTest::newRow("a link to a file that holds the entry") << u"link"_qs << kEarlier + kEntry;
    QTest::newRow("a link to a file that holds its first part") << u"link"_qs << kEarlier + kEntry.left(30);
    QTest::newRow("a second name of a file that holds its first part") << u"hard link"_qs << kEarlier + kEntry.left(30);
}

void LogJournalTest::aRecordedFileNoLongerTheArchivesIsLeftAlone()
{
    QFETCH(QString, inItsPlace);
    QFETCH(QByteArray, held);
    Log l;
    const QString notMade = putInTheWay(inItsPlace, l.daily(), l.platform.path(u"private"_qs), held);
    if (!notMade.isEmpty())
        QSKIP(qPrintable(notMade));
    const PendingArchive pending{PendingArchive::Kind::Archive, QDir::toNativeSeparators(l.daily()).toStdString(),
                                 kEarlier.size(), kEntry.toStdString()};
    QVERIFY(writeFile(l.journal(), kStarted + kOrders) &&
            writeFile(l.record(), QByteArray::fromStdString(pendingArchiveBytes(pending))));

    l.log.recoverLastRun();
    QCOMPARE(readFile(l.daily()), held);
    QCOMPARE(readFile(l.state(u"zorScheduler-LOG-2026-12-07.log"_qs)), kEntry);
    QVERIFY(!QFile::exists(l.record()));
    QCOMPARE(readFile(l.journal()), l.pane.text().toUtf8());
}

void LogJournalTest::linesThatCannotBeArchivedAtStartComeBackToThePane()
{
    Log l;
    QVERIFY(writeFile(l.journal(), kStarted + kOrders));
    QVERIFY(QDir(l.platform.path(QStringLiteral("Temp"))).removeRecursively());
    QVERIFY(QDir().mkpath(l.state(QStringLiteral("zorScheduler-LOG-2026-12-07.log"))));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("were not archived when it ended, and cannot "
                                                           "be now .*; they are back in the pane below")));
    l.log.recoverLastRun();
    const QStringList lines = l.pane.text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.mid(1, 2).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
             QString::fromLatin1(kOrders + kStarted));
    QCOMPARE(readFile(l.journal()), l.paneBytesOldestFirst().toUtf8());

    QVERIFY(QDir().mkpath(l.platform.path(QStringLiteral("Temp"))));
    QVERIFY(l.log.ClearLog());
    QCOMPARE(readFile(l.daily()).count("Timer Started!"), 1);
    QCOMPARE(readFile(l.journal()), QByteArray());
}

void LogJournalTest::aJournalThatCannotBeUsedIsSaidAndTheLogRunsOn_data()
{
    QTest::addColumn<QString>("inItsPlace");
    QTest::newRow("a folder in the journal's place") << QStringLiteral("folder");
    QTest::newRow("a file in the state folder's place") << QStringLiteral("file");
    QTest::newRow("held by another running scheduler") << QStringLiteral("held");
#ifdef Q_OS_UNIX
    QTest::newRow("a FIFO in the journal's place") << QStringLiteral("fifo");
#endif
}

void LogJournalTest::aJournalThatCannotBeUsedIsSaidAndTheLogRunsOn()
{
    QFETCH(QString, inItsPlace);
    Log l;
    LogPane otherPane;
    ActivityLog other(otherPane, *l.platform.clock, *l.platform.application);
    if (inItsPlace == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(l.journal()));
    else if (inItsPlace == QLatin1String("file"))
        QVERIFY(writeFile(l.platform.path(QStringLiteral("state")), "not a folder"));
    else if (inItsPlace == QLatin1String("fifo"))
        QVERIFY(QDir().mkpath(l.state(QString())) && makeFifo(l.journal()));
    else
        other.recoverLastRun();

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^The journal .* cannot be used \\(.+\\): the "
                                                                         "pane's lines are not protected")));
    l.log.recoverLastRun();
    QVERIFY2(l.pane.text().startsWith(QStringLiteral("12/7/26 9:00:05 AM: The journal ")), qPrintable(l.pane.text()));
    if (inItsPlace == QLatin1String("held"))
        QVERIFY(l.pane.text().contains(QStringLiteral("(it is in use by another running process)")));

    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.log.flushJournal();
    QVERIFY(l.log.ClearLog());
    QCOMPARE(readFile(l.daily()).count("\r\n"), 3);
}

void LogJournalTest::aFullDiskStopsTheJournalUntilAnArchiveLands()
{
#ifdef Q_OS_UNIX
    Log l;
    l.log.recoverLastRun();
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.log.flushJournal();
    {
        const FileSizeLimit full(rlim_t(kStarted.size()) + 10);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^The journal .* failed \\(.+\\): the "
                                                                             "pane's lines are not protected")));
        for (int line = 0; line < 3; ++line) {
            l.log.AddLogLine(QStringLiteral(": Process Internet Orders!"));
            l.log.flushJournal();
        }
    }
    // Said once; the journal kept what it held whole, without a part of the line that did not fit.
    QCOMPARE(l.pane.text().count(QStringLiteral(": The journal ")), 1);
    QCOMPARE(readFile(l.journal()), kStarted);

    QVERIFY(l.log.ClearLog());
    QCOMPARE(readFile(l.journal()), QByteArray());
    l.log.AddLogLine(QStringLiteral(": Timer Stopped!"));
    l.log.flushJournal();
    QCOMPARE(readFile(l.journal()), l.pane.text().toUtf8());
#else
    QSKIP("A file-size limit is a POSIX resource limit");
#endif
}

QTEST_MAIN(LogJournalTest)
#include "LogJournalTest.moc"
