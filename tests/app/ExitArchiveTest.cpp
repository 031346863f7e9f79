#include "RealProgramTest.h"

#include <QtTest>

class ExitArchiveTest : public RealProgramTest
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareFolders(); }

    void init() { clearWhatTheLastCaseLeft(); }

    void theLinesSinceTheLastArchiveAreArchivedWhenTheProgramEnds()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
        const QString program = programAlone(QStringLiteral("alone"));
        QVERIFY(!program.isEmpty());
        const QDir logs(QFileInfo(program).dir().filePath(QStringLiteral("Temp")));

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QVERIFY(logs.isEmpty());
        QVERIFY(stop(*scheduler));

        const QStringList files = logs.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(files.constFirst().startsWith(QLatin1String("zorScheduler-LOG-")));
        const QByteArray entry = readFile(logs.filePath(files.constFirst()));
        QVERIFY2(entry.contains("\t") && entry.contains(": Timer Started!\r\n"), entry.constData());
        QCOMPARE(errorsBeyondTheSystemLog(*scheduler), QByteArray());
    }

    // Where the day's file cannot be written as the program ends, the lines go to the user's state folder
    // with the bytes the day's file would have had, and standard error says so. A FIFO in the file's place
    // must not hold the program in open() either.
    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem_data()
    {
        QTest::addColumn<bool>("withTempFolder");
        QTest::addColumn<bool>("openStateFolder");
        QTest::newRow("no Temp folder") << false << false;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO in the day's file's place") << true << false;
        QTest::newRow("no Temp folder, and a state folder that other users may enter") << false << true;
#endif
    }

    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
        QFETCH(bool, withTempFolder);
        QFETCH(bool, openStateFolder);
        const QString program = programAlone(QString::fromUtf8(QTest::currentDataTag()), withTempFolder);
        QVERIFY(!program.isEmpty());
        const QDate today = QDate::currentDate();
        if (withTempFolder) {
            // Today's and, for a run across midnight, tomorrow's.
            for (const QDate& day : {today, today.addDays(1)}) {
                const QString name = QStringLiteral("Temp/zorScheduler-LOG-%1.log").arg(day.toString(Qt::ISODate));
                QVERIFY(makeFifo(QFileInfo(program).dir().filePath(name)));
            }
        }
        QDir(m_state.path()).removeRecursively();
        const QString stateFolder = m_state.filePath(QStringLiteral("zorScheduler"));
#ifdef Q_OS_UNIX
        if (openStateFolder)
            QVERIFY(QDir().mkpath(stateFolder) && ::chmod(QFile::encodeName(stateFolder).constData(), 0755) == 0);
        // Under umask 0 the program's folder and files are its user's alone all the same.
        const auto scheduler = start(program, {}, [] { ::umask(0); });
#else
        Q_UNUSED(openStateFolder);
        const auto scheduler = start(program);
#endif
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QVERIFY(stop(*scheduler));

        const QDir fallback(m_state.filePath(QStringLiteral("zorScheduler")));
        const QStringList files = fallback.entryList({QStringLiteral("zorScheduler-LOG-*")}, QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString rescued = fallback.filePath(files.constFirst());
        const QByteArray entry = readFile(rescued);
        QVERIFY2(entry.contains("\t") && entry.endsWith(": Timer Started!\r\n\r\n"), entry.constData());
#ifdef Q_OS_UNIX
        QCOMPARE(modeOf(stateFolder), 0700);
        QCOMPARE(modeOf(journal()), 0600);
        QCOMPARE(modeOf(rescued), 0600);
#endif
        const QByteArray errors = errorsBeyondTheSystemLog(*scheduler);
        QVERIFY2(errors.startsWith("zorScheduler: the log pane could not be archived to ") &&
                     errors.endsWith(QByteArray("; its lines went to " + QFile::encodeName(rescued) + '\n')),
                 errors.constData());
    }
};

QTEST_GUILESS_MAIN(ExitArchiveTest)
#include "ExitArchiveTest.moc"
