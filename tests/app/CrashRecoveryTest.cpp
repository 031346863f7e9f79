#include "RealProgramTest.h"

#include "log/LogJournal.h"

#include <QtTest>

class CrashRecoveryTest : public RealProgramTest
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareFolders(); }

    void init() { clearWhatTheLastCaseLeft(); }

    // A kill, a crash or a power cut: whatever the pane showed is archived at the next start, once.
    void aKillLosesNoLine()
    {
        const QString program = programAlone(QStringLiteral("killed"));
        QVERIFY(!program.isEmpty());
        const auto killed = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(journal()).contains(": Timer Started!"), 10000);
        killed->kill();
        QVERIFY(killed->waitForFinished(10000));
        QCOMPARE(dailyLogs(program), QByteArray());

        const auto next = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(dailyLogs(program).contains(": Timer Started!"), 10000);
        const QByteArray recovered = dailyLogs(program);
        QCOMPARE(recovered.count(": Timer Started!"), 1);
        QVERIFY2(recovered.contains("\t") && recovered.endsWith(": Timer Started!\r\n\r\n"), recovered.constData());
        QTRY_VERIFY_WITH_TIMEOUT(readFile(journal()).contains("1 line of the last run, from "), 10000);
        QVERIFY(stop(*next));
    }

    // Start-up archives what a killed run left, and is killed itself at each step of that archive: every line
    // reaches the day's file once. Each kill comes as the program enters a system call on one of the files.
    void everyStepOfTheArchiveAtStartIsSafe_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("file");
        QTest::newRow("killed before the archive is recorded") << u"rename"_qs << u"zorScheduler.archiving.new"_qs;
        QTest::newRow("killed before the entry is written") << u"write"_qs << u"daily"_qs;
        QTest::newRow("killed before the entry reaches the disk") << u"fdatasync"_qs << u"daily"_qs;
        QTest::newRow("killed before the journal is emptied") << u"ftruncate"_qs << u"zorScheduler.journal"_qs;
        QTest::newRow("killed before the record is removed") << u"unlink"_qs << u"zorScheduler.archiving"_qs;
    }

    void everyStepOfTheArchiveAtStartIsSafe()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, call);
        QFETCH(QString, file);
        SKIP_WITHOUT_STRACE();
        const QString program = programAlone(u"recovering-"_qs + call);
        QVERIFY(!program.isEmpty());
        const QByteArray lines = "12/6/26 9:00:05 AM: Timer Started!\r\n12/6/26 9:01:30 AM: Transfer Data !\r\n";
        QVERIFY(QDir().mkpath(stateFolder()));
        QFile journalFile(journal());
        QVERIFY(journalFile.open(QIODevice::WriteOnly) && journalFile.write(lines) == lines.size());
        journalFile.close();
        const QString path =
            file == u"daily"_qs
                ? QFileInfo(program).dir().filePath(u"Temp/zorScheduler-LOG-"_qs +
                                                    QDate::currentDate().toString(Qt::ISODate) + u".log"_qs)
                : QDir(stateFolder()).filePath(file);

        const auto killed = startTraced(u"inject="_qs + call + u":signal=SIGKILL:when=1"_qs, {u"-P"_qs, path}, program);
        const bool ended = killed->waitForFinished(20000);
        if (!ended)
            killTraced(*killed);
        QVERIFY(ended);
        QCOMPARE(killed->exitStatus(), QProcess::CrashExit);

        const auto next = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *next), 10000);
        QVERIFY(stop(*next));
        const QByteArray logs = dailyLogs(program);
        QCOMPARE(logs.count("9:00:05 AM: Timer Started!\r\n"), 1);
        QCOMPARE(logs.count("9:01:30 AM: Transfer Data !\r\n"), 1);
#else
        QSKIP("The kills come from strace, which Windows does not have");
#endif
    }

    // One I/O error in the archive that start-up makes of a killed run's journal: every line still reaches a log
    // file once, or stays where standard error says. The day's file's flush fails, and the entry leaves it for
    // the state folder; the journal cannot be read, and is set aside with its lines; or the day's file cannot
    // be read to tell whether a recorded entry landed, and nothing is written until the next start can tell.
    void anIoErrorInTheArchiveAtStartNeitherLosesNorDoublesALine_data()
    {
        QTest::addColumn<QString>("injection");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("entryRecordedAsWritten");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("the entry's flush fails")
            << u"fdatasync:error=EIO:when=1"_qs << u"daily"_qs << false << QByteArray();
        QTest::newRow("the journal cannot be read")
            << u"pread64:error=EIO:when=1+"_qs << u"zorScheduler.journal"_qs << false
            << QByteArray("could not be read (Input/output error): the last run's lines in it are not archived, "
                          "and stay in ");
        QTest::newRow("the day's file cannot be read to tell whether the entry landed")
            << u"openat:error=EIO:when=1+"_qs << u"daily"_qs << true << QByteArray("cannot be told now");
    }

    void anIoErrorInTheArchiveAtStartNeitherLosesNorDoublesALine()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, injection);
        QFETCH(QString, file);
        QFETCH(bool, entryRecordedAsWritten);
        QFETCH(QByteArray, said);
        SKIP_WITHOUT_STRACE();
        const QString program = programAlone(u"io-error-"_qs + QString::number(qHash(QTest::currentDataTag())));
        QVERIFY(!program.isEmpty());
        const QString daily = QFileInfo(program).dir().filePath(
            u"Temp/zorScheduler-LOG-"_qs + QDate::currentDate().toString(Qt::ISODate) + u".log"_qs);
        const QByteArray lines = "12/6/26 9:00:05 AM: Timer Started!\r\n12/6/26 9:01:30 AM: Transfer Data !\r\n";
        QVERIFY(QDir().mkpath(stateFolder()));
        QVERIFY(writeFile(journal(), lines));
        if (entryRecordedAsWritten) {
            // A run killed after its entry landed, before the journal was emptied.
            const std::string entry = "12/6/26 9:02:00 AM\t12/6/26 9:01:30 AM: Transfer Data !\r\n"
                                      "12/6/26 9:00:05 AM: Timer Started!\r\n\r\n";
            QVERIFY(writeFile(daily, QByteArray::fromStdString(entry)));
            const PendingArchive record{PendingArchive::Kind::Archive, daily.toStdString(), 0, entry};
            QVERIFY(writeFile(QDir(stateFolder()).filePath(u"zorScheduler.archiving"_qs),
                              QByteArray::fromStdString(pendingArchiveBytes(record))));
        }
        const QString path = file == u"daily"_qs ? daily : QDir(stateFolder()).filePath(file);

        const auto faulted = startTraced(u"inject="_qs + injection, {u"-P"_qs, path}, program);
        const auto cleanUp = qScopeGuard([&faulted] { killTraced(*faulted); });
        // Once it holds its lock, SIGTERM ends it in order after its start-up.
        QTRY_VERIFY_WITH_TIMEOUT(lockHolder(u"zorScheduler"_qs) > 0, 10000);
        ::kill(pid_t(lockHolder(u"zorScheduler"_qs)), SIGTERM);
        QVERIFY(faulted->waitForFinished(10000));
        const QByteArray errors = faulted->readAllStandardError();
        QVERIFY2(errors.contains(said), errors.constData());
        if (entryRecordedAsWritten)
            QCOMPARE(readFile(journal()), lines);

        const auto next = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *next), 10000);
        QVERIFY(stop(*next));
        // Every line once: in a log file, or in the file that standard error named.
        QByteArray kept = dailyLogs(program);
        for (const QString& name : QDir(stateFolder()).entryList(QDir::Files))
            if (name.startsWith(u"zorScheduler-LOG-"_qs) || errors.contains(QFile::encodeName(name)))
                kept += readFile(QDir(stateFolder()).filePath(name));
        QCOMPARE(kept.count("9:00:05 AM: Timer Started!\r\n"), 1);
        QCOMPARE(kept.count("9:01:30 AM: Transfer Data !\r\n"), 1);
#else
        QSKIP("The faults come from strace, which Windows does not have");
#endif
    }
};

QTEST_GUILESS_MAIN(CrashRecoveryTest)
#include "CrashRecoveryTest.moc"
