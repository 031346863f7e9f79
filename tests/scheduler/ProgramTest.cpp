#include "scheduler/SingleInstance.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

class ProgramTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_configHome;
    QTemporaryDir m_runtime;
    QTemporaryDir m_programs;
    QTemporaryDir m_state;

    QString settingsFile() const { return m_configHome.filePath(QStringLiteral("zorScheduler.conf")); }
    QByteArray settingsText() const { return readFile(settingsFile()); }
    QString lockFile(const QString& baseName) const
    {
        return m_runtime.filePath(SingleInstance::lockFileName(baseName));
    }

    // The process id that the lock of baseName names; 0 when there is no lock file.
    qint64 lockHolder(const QString& baseName) const
    {
        qint64 pid = 0;
        QString host, application;
        return QLockFile(lockFile(baseName)).getLockInfo(&pid, &host, &application) ? pid : 0;
    }

    // The real program, headless, with settings, lock and state folder in the test's own folders.
    std::unique_ptr<QProcess> start(const QString& program = QString::fromUtf8(ZOR_PROGRAM))
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_configHome.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_state.path());
        process->setProcessEnvironment(environment);
        process->setProgram(program);
        process->start();
        if (!process->waitForStarted(10000))
            qWarning("%ls did not start: %ls", qUtf16Printable(program), qUtf16Printable(process->errorString()));
        return process;
    }

    // A copy of the program in a folder of its own, so that its daily log file is the test's, with Auto
    // Start stored so that its pane has a line to archive.
    QString programAlone(const QString& folderName, bool withTempFolder = true)
    {
        const QDir folder(m_programs.path());
        if (!folder.mkpath(folderName + (withTempFolder ? QStringLiteral("/Temp") : QString())))
            return QString();
        const QString program = folder.filePath(folderName + QStringLiteral("/zorScheduler"));
        QFile settings(settingsFile());
        if (!QFile::copy(QString::fromUtf8(ZOR_PROGRAM), program) || !settings.open(QIODevice::WriteOnly))
            return QString();
        settings.write("[Settings]\nAutoStart=1\n");
        return program;
    }

    // Waits until the program runs as the first instance: it holds its lock. The program handles termination
    // signals before it takes the lock, and acts on them only once its start-up is done, so from here on
    // SIGTERM ends it in order, with the start-up's pane lines archived.
    static bool runsAsFirst(const ProgramTest& test, const QString& baseName, const QProcess& process)
    {
        return test.lockHolder(baseName) == process.processId() && process.state() == QProcess::Running;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_configHome.isValid());
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_programs.isValid());
    }

    void init()
    {
        QFile::remove(settingsFile());
        // A lock left by a test that failed half-way must not decide the next one.
        QFile::remove(lockFile(QStringLiteral("zorScheduler")));
    }

    void inProcess_data()
    {
        QTest::addColumn<QString>("secondName");
        QTest::addColumn<bool>("firstReleased");
        QTest::addColumn<bool>("secondIsOnly");

        QTest::newRow("a second lock of the same name is refused") << QStringLiteral("zorScheduler") << false << false;
        QTest::newRow("another executable name has a lock of its own")
            << QStringLiteral("zorScheduler.old") << false << true;
        QTest::newRow("a released lock can be taken again") << QStringLiteral("zorScheduler") << true << true;
    }

    void inProcess()
    {
        QFETCH(QString, secondName);
        QFETCH(bool, firstReleased);
        QFETCH(bool, secondIsOnly);

        auto first = std::make_unique<SingleInstance>(m_runtime.path(), QStringLiteral("zorScheduler"));
        QVERIFY(first->isOnlyInstance());
        if (firstReleased)
            first.reset();
        const SingleInstance second(m_runtime.path(), secondName);
        QCOMPARE(second.isOnlyInstance(), secondIsOnly);
        if (first)
            QVERIFY(first->isOnlyInstance());
    }

    void anUnusableLockFolderDoesNotKeepTheSchedulerFromStarting()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "^The single-instance lock .* is not in use: it cannot be made")));
        const SingleInstance instance(m_runtime.filePath(QStringLiteral("missing/folder")), QStringLiteral("x"));
        QVERIFY(instance.isOnlyInstance());
    }

    // What a crash or a power cut while the lock was written leaves, and what else may sit in the lock's
    // place: none of it names a running process, so the start takes the lock over.
    void aLockThatNamesNoRunningProcessIsTakenOver_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("damaged");

        QTest::newRow("an empty file") << QStringLiteral("file") << QByteArray() << true;
        QTest::newRow("garbage") << QStringLiteral("file") << QByteArray("\x01\xff garbage\n\n") << true;
        QTest::newRow("cut short in the process id") << QStringLiteral("file") << QByteArray("4") << true;
        QTest::newRow("a process that is gone")
            << QStringLiteral("file")
            << QByteArray("2147483646\nzorScheduler\n" + QSysInfo::machineHostName().toUtf8() + '\n') << false;
        QTest::newRow("a FIFO") << QStringLiteral("fifo") << QByteArray() << false;
        QTest::newRow("an empty folder") << QStringLiteral("folder") << QByteArray() << false;
    }

    void aLockThatNamesNoRunningProcessIsTakenOver()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, damaged);
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(QFile::encodeName(lock).constData(), 0644) == 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(lock));
        } else {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        if (damaged)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("was damaged and held by no running")));

        const SingleInstance instance(m_runtime.path(), QStringLiteral("zorScheduler"));
        QVERIFY(instance.isOnlyInstance());
        QCOMPARE(instance.problem(), QString());
        QCOMPARE(lockHolder(QStringLiteral("zorScheduler")), QCoreApplication::applicationPid());
    }

    void onlyALiveHolderStopsAStart()
    {
        // A live holder whose lock file was spoiled under it (or that is writing it this very moment).
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        QLockFile holder(lock);
        QVERIFY(holder.tryLock(0));
        {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        }
        const SingleInstance second(m_runtime.path(), QStringLiteral("zorScheduler"));
        QVERIFY(!second.isOnlyInstance());
        QVERIFY(QFileInfo::exists(lock));
    }

    void aLockThatCannotBeTakenOverIsSaidAndTheSchedulerRuns()
    {
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        QVERIFY(QDir().mkpath(lock + QStringLiteral("/inside")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is not in use: something that is not a "
                                                                             "lock file is in its place")));
        const SingleInstance instance(m_runtime.path(), QStringLiteral("zorScheduler"));
        QVERIFY(instance.isOnlyInstance());
        QVERIFY(instance.problem().contains(QStringLiteral("cannot be removed")));
        QVERIFY(QDir(lock).removeRecursively());
    }

    // Files damaged as a crash or an administrator could leave them do not stop, hold or silence the real
    // program: it starts, says what it found on standard error, and ends in order on SIGTERM.
    void damagedFilesDoNotHoldTheProgram_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("a garbage lock") << QStringLiteral("lock") << QByteArray("was damaged and held by no running");
        QTest::newRow("a FIFO where the settings are kept")
            << QStringLiteral("settings") << QByteArray("cannot be read (it is not a regular file)");
    }

    void damagedFilesDoNotHoldTheProgram()
    {
        QFETCH(QString, damage);
        QFETCH(QByteArray, said);
        if (damage == QLatin1String("lock")) {
            QFile file(lockFile(QStringLiteral("zorScheduler")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("garbage");
        } else {
            QVERIFY(::mkfifo(QFile::encodeName(settingsFile()).constData(), 0644) == 0);
        }

        const auto scheduler = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += scheduler->readAllStandardError()).contains(said), 10000);
        scheduler->terminate();
        QVERIFY(scheduler->waitForFinished(10000));
        QCOMPARE(scheduler->exitCode(), 0);
    }

    void aSecondProcessEndsAtOnceAndLeavesTheFirstAlone()
    {
        const QString name = QStringLiteral("zorScheduler");
        const auto first = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *first), 10000);
        // The first start puts its defaults on record, the last key last; a second one that read or wrote the
        // store would do so again.
        QTRY_VERIFY_WITH_TIMEOUT(settingsText().contains("TransferPersonInterval="), 10000);
        QVERIFY(QFile::remove(settingsFile()));

        QElapsedTimer clock;
        clock.start();
        const auto second = start();
        QVERIFY(second->waitForFinished(10000));
        qInfo("The second instance ended after %lld ms", clock.elapsed());
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardOutput(), QByteArray());

        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(lockHolder(name), first->processId());
        QVERIFY(!QFile::exists(settingsFile()));

        // A termination signal ends the program in order, without a question, and gives up the lock.
        first->terminate();
        QVERIFY(first->waitForFinished(10000));
        QCOMPARE(first->exitStatus(), QProcess::NormalExit);
        QCOMPARE(first->exitCode(), 0);
        QVERIFY(!QFile::exists(lockFile(name)));
    }

    void aLockLeftByAKilledProcessDoesNotBlockANewStart()
    {
        const QString name = QStringLiteral("zorScheduler");
        const auto killed = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *killed), 10000);
        killed->kill();
        QVERIFY(killed->waitForFinished(10000));
        QVERIFY(QFile::exists(lockFile(name)));

        const auto next = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *next), 10000);
        next->terminate();
        QVERIFY(next->waitForFinished(10000));
    }

    void theLinesSinceTheLastArchiveAreArchivedWhenTheProgramEnds()
    {
        const QString program = programAlone(QStringLiteral("alone"));
        QVERIFY(!program.isEmpty());
        const QDir logs(QFileInfo(program).dir().filePath(QStringLiteral("Temp")));

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QVERIFY(logs.isEmpty());
        scheduler->terminate();
        QVERIFY(scheduler->waitForFinished(10000));

        const QStringList files = logs.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(files.constFirst().startsWith(QLatin1String("zorScheduler-LOG-")));
        const QByteArray entry = readFile(logs.filePath(files.constFirst()));
        QVERIFY2(entry.contains("\t") && entry.contains(": Timer Started!\r\n"), entry.constData());
        QCOMPARE(scheduler->readAllStandardError(), QByteArray());
    }

    // Where the day's file cannot be written as the program ends, the lines go to the user's state folder
    // with the bytes the day's file would have had, and standard error says so. A FIFO in the file's place
    // must not hold the program in open() either.
    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem_data()
    {
        QTest::addColumn<bool>("withTempFolder");
        QTest::newRow("no Temp folder") << false;
        QTest::newRow("a FIFO in the day's file's place") << true;
    }

    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem()
    {
        QFETCH(bool, withTempFolder);
        const QString program = programAlone(QStringLiteral("without-%1").arg(withTempFolder), withTempFolder);
        QVERIFY(!program.isEmpty());
        const QDate today = QDate::currentDate();
        if (withTempFolder) {
            // Today's and, for a run across midnight, tomorrow's.
            for (const QDate& day : {today, today.addDays(1)}) {
                const QString name = QStringLiteral("Temp/zorScheduler-LOG-%1.log").arg(day.toString(Qt::ISODate));
                QVERIFY(::mkfifo(QFile::encodeName(QFileInfo(program).dir().filePath(name)).constData(), 0644) == 0);
            }
        }
        QDir(m_state.path()).removeRecursively();

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        scheduler->terminate();
        QVERIFY(scheduler->waitForFinished(10000));
        QCOMPARE(scheduler->exitStatus(), QProcess::NormalExit);
        QCOMPARE(scheduler->exitCode(), 0);

        const QDir fallback(m_state.filePath(QStringLiteral("zorScheduler")));
        const QStringList files = fallback.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString rescued = fallback.filePath(files.constFirst());
        const QByteArray entry = readFile(rescued);
        QVERIFY2(entry.contains("\t") && entry.endsWith(": Timer Started!\r\n\r\n"), entry.constData());
        const QByteArray errors = scheduler->readAllStandardError();
        QVERIFY2(errors.startsWith("zorScheduler: the log pane could not be archived to ") &&
                     errors.endsWith(QByteArray("; its lines went to " + QFile::encodeName(rescued) + '\n')),
                 errors.constData());
    }

    void aCopyUnderAnotherNameRunsBeside()
    {
        const QString copy = m_programs.filePath(QStringLiteral("zorSchedulerCopy"));
        QVERIFY(QFile::copy(QString::fromUtf8(ZOR_PROGRAM), copy));

        const auto original = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *original), 10000);
        const auto beside = start(copy);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorSchedulerCopy"), *beside), 10000);
        QCOMPARE(original->state(), QProcess::Running);

        original->terminate();
        beside->terminate();
        QVERIFY(original->waitForFinished(10000));
        QVERIFY(beside->waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "ProgramTest.moc"
