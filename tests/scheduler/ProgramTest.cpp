#include "scheduler/SingleInstance.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class ProgramTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_configHome;
    QTemporaryDir m_runtime;
    QTemporaryDir m_programs;

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

    // The real program, headless, with settings and lock in the test's own folders.
    std::unique_ptr<QProcess> start(const QString& program = QString::fromUtf8(ZOR_PROGRAM))
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_configHome.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        process->setProcessEnvironment(environment);
        process->setProgram(program);
        process->start();
        if (!process->waitForStarted(10000))
            qWarning("%ls did not start: %ls", qUtf16Printable(program), qUtf16Printable(process->errorString()));
        return process;
    }

    // Waits until the program runs as the first instance: it holds its lock and is past start-up.
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
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot make the single-instance")));
        const SingleInstance instance(m_runtime.filePath(QStringLiteral("missing/folder")), QStringLiteral("x"));
        QVERIFY(instance.isOnlyInstance());
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
        // A program folder of its own, so the daily log file is this test's.
        const QDir folder(m_programs.path());
        QVERIFY(folder.mkpath(QStringLiteral("alone/Temp")));
        const QString program = folder.filePath(QStringLiteral("alone/zorScheduler"));
        QVERIFY(QFile::copy(QString::fromUtf8(ZOR_PROGRAM), program));
        {
            QFile settings(settingsFile());
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write("[Settings]\nAutoStart=1\n");
        }

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        const QDir logs(folder.filePath(QStringLiteral("alone/Temp")));
        QVERIFY(logs.isEmpty());
        scheduler->terminate();
        QVERIFY(scheduler->waitForFinished(10000));

        const QStringList files = logs.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(files.constFirst().startsWith(QLatin1String("zorScheduler-LOG-")));
        QFile log(logs.filePath(files.constFirst()));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray entry = log.readAll();
        QVERIFY2(entry.contains("\t") && entry.contains(": Timer Started!\r\n"), entry.constData());
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
