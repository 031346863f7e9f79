#include "platform/UserStateFolder.h"
#include "scheduler/SingleInstance.h"

#include "support/StoredSettings.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#define SKIP_WITHOUT_TERMINATION_SIGNALS()                                                                             \
    QSKIP("Termination signals are POSIX; on Windows the program ends in order through its close question or "         \
          "the session's end (LifecycleTest, and the end-to-end run under Wine)")
#else
#define SKIP_WITHOUT_TERMINATION_SIGNALS()
#endif

// On Windows the suite runs in a throw-away Wine prefix: the lock lies in the user's own runtime folder there,
// and the settings in the registry under the program's name.
class ProgramTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_configHome;
    QTemporaryDir m_runtime;
    QTemporaryDir m_programs;
    QTemporaryDir m_state;

    QString lockDirectory() const
    {
#ifdef Q_OS_WIN
        return SingleInstance::defaultLockDirectory();
#else
        return m_runtime.path();
#endif
    }
    QString lockFile(const QString& baseName) const
    {
        return QDir(lockDirectory()).filePath(SingleInstance::lockFileName(baseName));
    }
    static QString executableSuffix()
    {
        const QString suffix = QFileInfo(QString::fromUtf8(ZOR_PROGRAM)).suffix();
        return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    }
    static QMap<QString, QString> storedSettings()
    {
        return StoredSettings::values(QStringLiteral("zorScheduler"));
    }

    // The process id that the lock of baseName names; 0 when there is no lock file.
    qint64 lockHolder(const QString& baseName) const
    {
        qint64 pid = 0;
        QString host, application;
        return QLockFile(lockFile(baseName)).getLockInfo(&pid, &host, &application) ? pid : 0;
    }

    // The real program, headless, with settings, lock and state folder in the test's own folders.
    // wrapper: a program that starts the scheduler itself (strace), with its arguments.
    std::unique_ptr<QProcess> start(const QString& program = QString::fromUtf8(ZOR_PROGRAM),
                                    const QStringList& wrapper = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_state.path());
        process->setProcessEnvironment(environment);
#ifdef Q_OS_UNIX
        // A group of its own, so that a test can end the program and whatever started it in one go.
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
        process->setProgram(wrapper.isEmpty() ? program : wrapper.constFirst());
        if (!wrapper.isEmpty())
            process->setArguments(wrapper.mid(1) + QStringList{program});
        process->start();
        if (!process->waitForStarted(10000))
            qWarning("%ls did not start: %ls", qUtf16Printable(program), qUtf16Printable(process->errorString()));
        return process;
    }

    // The user's state folder of the programs started here, which keeps their journal.
    QString stateFolder() const
    {
#ifdef Q_OS_WIN
        return userStateFolder();
#else
        return m_state.filePath(QStringLiteral("zorScheduler"));
#endif
    }
    QString journal() const
    {
        return QDir(stateFolder()).filePath(QStringLiteral("zorScheduler.journal"));
    }

    // Every daily log file of a program's folder, one after the other.
    static QByteArray dailyLogs(const QString& program)
    {
        const QDir folder(QFileInfo(program).dir().filePath(QStringLiteral("Temp")));
        QByteArray logs;
        for (const QString& name : folder.entryList({QStringLiteral("zorScheduler-LOG-*.log")}, QDir::Files))
            logs += readFile(folder.filePath(name));
        return logs;
    }

    // A copy of the program in a folder of its own, so that its daily log file is the test's, with Auto
    // Start stored so that its pane has a line to archive.
    QString programAlone(const QString& folderName, bool withTempFolder = true)
    {
        const QDir folder(m_programs.path());
        if (!folder.mkpath(folderName + (withTempFolder ? QStringLiteral("/Temp") : QString())))
            return QString();
        const QString program = folder.filePath(folderName + QStringLiteral("/zorScheduler") + executableSuffix());
        if (!QFile::copy(QString::fromUtf8(ZOR_PROGRAM), program) ||
            !StoredSettings::store(QStringLiteral("zorScheduler"),
                                   {{QStringLiteral("AutoStart"), QStringLiteral("1")}}))
            return QString();
        return program;
    }

    // Waits until the program runs as the first instance: it holds its lock. The program handles termination
    // signals before it takes the lock, and acts on them only once its start-up is done, so from here on
    // SIGTERM ends it in order, with the start-up's pane lines archived.
    static bool runsAsFirst(const ProgramTest& test, const QString& baseName, const QProcess& process)
    {
        return test.lockHolder(baseName) == process.processId() && process.state() == QProcess::Running;
    }

    // Ends the program: on POSIX with SIGTERM, in order. On Windows a polite end would be a close request,
    // which the close question holds up, so the program is killed there.
    static bool stop(QProcess& process)
    {
#ifdef Q_OS_WIN
        process.kill();
        return process.waitForFinished(10000);
#else
        process.terminate();
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
#endif
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_configHome.isValid());
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_programs.isValid());
        // The programs started here keep their settings where this process looks for them.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
    }

    void init()
    {
        StoredSettings::clear(QStringLiteral("zorScheduler"));
        // A lock left by a test that failed half-way must not decide the next one, nor the lines that a killed
        // program left in its journal.
        QFile::remove(lockFile(QStringLiteral("zorScheduler")));
        QDir(stateFolder()).removeRecursively();
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
        QTest::newRow("a process that is gone") << QStringLiteral("gone") << QByteArray() << false;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO") << QStringLiteral("fifo") << QByteArray() << false;
#endif
        QTest::newRow("an empty folder") << QStringLiteral("folder") << QByteArray() << false;
    }

    void aLockThatNamesNoRunningProcessIsTakenOver()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, damaged);
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        if (kind == QLatin1String("gone")) {
            // A lock as this very process writes it, with its process id changed for one that no process has.
            QLockFile real(lock);
            QVERIFY(real.tryLock(0));
            QByteArray lines = readFile(lock);
            real.unlock();
            lines = "2147483646" + lines.mid(lines.indexOf('\n'));
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(lines);
        } else if (kind == QLatin1String("fifo")) {
            QVERIFY(makeFifo(lock));
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

        const SingleInstance instance(lockDirectory(), QStringLiteral("zorScheduler"));
        QVERIFY(instance.isOnlyInstance());
        QCOMPARE(instance.problem(), QString());
        QCOMPARE(lockHolder(QStringLiteral("zorScheduler")), QCoreApplication::applicationPid());
    }

    void onlyALiveHolderStopsAStart()
    {
        // A live holder whose lock file was spoiled under it, or that is writing it this very moment. (Windows
        // lets nobody write to a held lock, so there it is only held.)
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        QLockFile holder(lock);
        QVERIFY(holder.tryLock(0));
#ifdef Q_OS_UNIX
        {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        }
#endif
        QVERIFY(lockFileHasLiveHolder(lock));
        const SingleInstance second(lockDirectory(), QStringLiteral("zorScheduler"));
        QVERIFY(!second.isOnlyInstance());
        QVERIFY(QFileInfo::exists(lock));
    }

    void aLockThatCannotBeTakenOverIsSaidAndTheSchedulerRuns()
    {
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        QVERIFY(QDir().mkpath(lock + QStringLiteral("/inside")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is not in use: something that is not a "
                                                                             "lock file is in its place")));
        const SingleInstance instance(lockDirectory(), QStringLiteral("zorScheduler"));
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
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO where the settings are kept")
            << QStringLiteral("settings") << QByteArray("cannot be read (it is not a regular file)");
#endif
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
            QVERIFY(makeFifo(StoredSettings::location(QStringLiteral("zorScheduler"))));
        }

        const auto scheduler = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += scheduler->readAllStandardError()).contains(said), 10000);
        QVERIFY(stop(*scheduler));
    }

    void aSecondProcessEndsAtOnceAndLeavesTheFirstAlone()
    {
        const QString name = QStringLiteral("zorScheduler");
        const auto first = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *first), 10000);
        // The first start puts its defaults on record, the last key last; a second one that read or wrote the
        // store would do so again.
        QTRY_VERIFY_WITH_TIMEOUT(storedSettings().contains(QStringLiteral("TransferPersonInterval")), 10000);
        StoredSettings::clear(QStringLiteral("zorScheduler"));

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
        QVERIFY(storedSettings().isEmpty());

        // A termination signal ends the program in order, without a question, and gives up the lock.
        QVERIFY(stop(*first));
#ifdef Q_OS_UNIX
        QVERIFY(!QFile::exists(lockFile(name)));
#endif
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
        QVERIFY(stop(*next));
    }

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
        QCOMPARE(scheduler->readAllStandardError(), QByteArray());
    }

    // Where the day's file cannot be written as the program ends, the lines go to the user's state folder
    // with the bytes the day's file would have had, and standard error says so. A FIFO in the file's place
    // must not hold the program in open() either.
    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem_data()
    {
        QTest::addColumn<bool>("withTempFolder");
        QTest::newRow("no Temp folder") << false;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO in the day's file's place") << true;
#endif
    }

    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
        QFETCH(bool, withTempFolder);
        const QString program = programAlone(QStringLiteral("without-%1").arg(withTempFolder), withTempFolder);
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

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QVERIFY(stop(*scheduler));

        const QDir fallback(m_state.filePath(QStringLiteral("zorScheduler")));
        const QStringList files = fallback.entryList({QStringLiteral("zorScheduler-LOG-*")}, QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString rescued = fallback.filePath(files.constFirst());
        const QByteArray entry = readFile(rescued);
        QVERIFY2(entry.contains("\t") && entry.endsWith(": Timer Started!\r\n\r\n"), entry.constData());
        const QByteArray errors = scheduler->readAllStandardError();
        QVERIFY2(errors.startsWith("zorScheduler: the log pane could not be archived to ") &&
                     errors.endsWith(QByteArray("; its lines went to " + QFile::encodeName(rescued) + '\n')),
                 errors.constData());
    }

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
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            QSKIP("strace is not installed");
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

        const auto killed = start(program, {strace, u"-f"_qs, u"-o"_qs, u"/dev/null"_qs, u"-P"_qs, path, u"-e"_qs,
                                            u"inject="_qs + call + u":signal=SIGKILL:when=1"_qs, u"--"_qs});
        // A kill that does not come leaves the program running under strace; its whole group goes.
        const bool ended = killed->waitForFinished(20000);
        if (!ended)
            ::kill(-pid_t(killed->processId()), SIGKILL);
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

    void aCopyUnderAnotherNameRunsBeside()
    {
        const QString copy = m_programs.filePath(QStringLiteral("zorSchedulerCopy") + executableSuffix());
        QVERIFY(QFile::copy(QString::fromUtf8(ZOR_PROGRAM), copy));

        const auto original = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *original), 10000);
        const auto beside = start(copy);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorSchedulerCopy"), *beside), 10000);
        QCOMPARE(original->state(), QProcess::Running);

        QVERIFY(stop(*original));
        QVERIFY(stop(*beside));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "ProgramTest.moc"
