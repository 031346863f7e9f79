#pragma once

#include "app/SingleInstance.h"
#include "platform/UserStateFolder.h"
#include "support/StoredSettings.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
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

// strace holds the program at a chosen system call, or sends it a signal there; it needs ptrace.
#define SKIP_WITHOUT_STRACE()                                                                                          \
    if (QProcess::execute(QStringLiteral("strace"),                                                                    \
                          {QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("true")}) != 0)           \
    QSKIP("strace is not installed, or this process may not trace others")

// What the suites that start the real program share. On Windows a suite runs in a throw-away Wine prefix: the
// lock lies in the user's own runtime folder there, and the settings in the registry under the program's name.
class RealProgramTest : public QObject
{
protected:
    QTemporaryDir m_runtime;
    QTemporaryDir m_programs;
    QTemporaryDir m_state;
    // Set for the programs a case starts, over the suite's own; a null value takes the variable away.
    QMap<QString, QString> m_environment;

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

    // The process id that the last holder of baseName's lock wrote into it; 0 when there is none.
    qint64 lockHolder(const QString& baseName) const
    {
        return readFile(lockFile(baseName)).split('\n').constFirst().toLongLong();
    }
    bool lockIsHeld(const QString& baseName) const
    {
        return !SingleInstance(lockDirectory(), baseName).isOnlyInstance();
    }

    // The real program, headless, with settings, lock and state folder in the test's own folders. inChild
    // runs in the new process just before the program is executed (POSIX only).
    std::unique_ptr<QProcess> start(const QString& program = QString::fromUtf8(ZOR_PROGRAM),
                                    const QStringList& arguments = {},
                                    [[maybe_unused]] const std::function<void()>& inChild = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_state.path());
        for (auto variable = m_environment.cbegin(); variable != m_environment.cend(); ++variable) {
            if (variable.value().isNull())
                environment.remove(variable.key());
            else
                environment.insert(variable.key(), variable.value());
        }
        // LeakSanitizer cannot work under a tracer.
        if (program == QLatin1String("strace"))
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        process->setProcessEnvironment(environment);
        process->setProgram(program);
        process->setArguments(arguments);
#ifdef Q_OS_UNIX
        if (inChild)
            process->setChildProcessModifier(inChild);
#endif
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

    // The real program under strace, which meets the program's system calls as injection says; options narrow
    // them down (-P path: only the calls on that file).
    std::unique_ptr<QProcess> startTraced(const QString& injection, const QStringList& options = {},
                                          const QString& program = QString::fromUtf8(ZOR_PROGRAM))
    {
        return start(QStringLiteral("strace"),
                     QStringList{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null")} + options +
                         QStringList{QStringLiteral("-e"), injection, program});
    }

    // Standard error without the line that says at start that this machine runs no journal.
    static QByteArray errorsBeyondTheSystemLog(QProcess& process)
    {
        QByteArray errors = process.readAllStandardError();
        const QByteArray noJournal = "zorScheduler: events are not sent to the system log: ";
        if (errors.startsWith(noJournal))
            errors.remove(0, errors.indexOf('\n') + 1);
        return errors;
    }

    // strace leaves the program running when it is killed itself, so the program goes first.
    static void killTraced(QProcess& strace)
    {
#ifdef Q_OS_UNIX
        const QByteArray children =
            readFile(QStringLiteral("/proc/%1/task/%1/children").arg(strace.processId())).trimmed();
        for (const QByteArray& child : children.split(' '))
            if (child.toInt() > 0)
                ::kill(child.toInt(), SIGKILL);
#endif
        strace.kill();
        strace.waitForFinished(10000);
    }

    static bool endedAtOnceAndSilently(const QProcess& process)
    {
        return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    // Waits until the program runs as the first instance: it holds its lock. The program handles termination
    // signals from its first line, and acts on them once its start-up is done, so from here on SIGTERM ends it
    // in order, with the start-up's pane lines archived.
    static bool runsAsFirst(const RealProgramTest& test, const QString& baseName, const QProcess& process)
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

    void prepareFolders()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_programs.isValid());
    }

    void clearWhatTheLastCaseLeft()
    {
        StoredSettings::clear(QStringLiteral("zorScheduler"));
        m_environment.clear();
        // What a test that failed half-way left in the lock's place must not decide the next one, nor the lines
        // that a killed program left in its journal.
        QDir(lockFile(QStringLiteral("zorScheduler"))).removeRecursively();
        QFile::remove(lockFile(QStringLiteral("zorScheduler")));
        QDir(stateFolder()).removeRecursively();
    }
};
